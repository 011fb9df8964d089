// Repeated loads and frees of a full mixed table, and repeated opening and
// closing of every dialog, leave the heaps' busy blocks and the process's
// GDI and USER objects where they started. TOLMARIN_LEAK_CYCLES (default
// 20; `make soak` uses 1,000) sets the number of cycles.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <functional>
#include <string>

#include "ports/kinds/dial_dialog.h"
#include "ports/port.h"
#include "ports/port_table.h"
#include "resource.h"
#include "support/entry_values.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

// Counts window when this process owns it, with a top-level window's descendants.
BOOL CALLBACK CountWindows(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && ++*reinterpret_cast<long*>(count) &&
        !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        EnumChildWindows(window, CountWindows, count);
    return TRUE;
}

// Busy blocks of every heap of the process, GDI and USER objects. Wine's
// GetGuiResources answers 0, but Wine takes a GDI object or a menu by its
// table index alone and answers from the process's own table, so every
// index is asked (a lost icon counts too: it keeps its pictures as GDI
// bitmaps); windows are enumerated, as asking a window index goes to the server.
struct Usage {
    long heapBlocks;
    std::string objects;
};
Usage Measure()
{
    HANDLE heaps[64];
    long blocks = 0, gdi = 0, user = 0;
    for (DWORD i = 0, count = GetProcessHeaps(64, heaps); i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY e = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &e))
            blocks += (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        HeapUnlock(heaps[i]);
    }
    for (UINT_PTR index = 0; index < 0x10000; ++index)
        gdi += GetObjectType(HGDIOBJ(index)) != 0, user += IsMenu(HMENU(index)) != 0;
    EnumWindows(CountWindows, LPARAM(&user));
    for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr));)
        CountWindows(window, LPARAM(&user));
    return {blocks, std::to_string(gdi) + " GDI, " + std::to_string(user) + " USER objects"};
}

// cycle run a few times to settle caches, then the cycles measured; a leak
// of one block per cycle shows as that many blocks, far above the tolerance
// for what Wine itself allocates on the way.
void ExpectNoGrowth(const std::string& what, const std::function<void()>& cycle)
{
    const char* text = getenv("TOLMARIN_LEAK_CYCLES");
    int cycles = text && atoi(text) > 0 ? atoi(text) : 20;
    auto run = [&](int count) {
        MSG message;
        for (int i = 0; i < count; ++i)
            for (cycle(); PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
                DispatchMessageA(&message);
        return Measure();
    };
    Usage before = run(5), after = run(cycles);
    printf("%s, %d cycles: heap blocks %ld -> %ld, %s -> %s\n", what.c_str(), cycles, before.heapBlocks,
           after.heapBlocks, before.objects.c_str(), after.objects.c_str());
    EXPECT_LE(after.heapBlocks - before.heapBlocks, 8 + cycles / 20) << what;
    EXPECT_EQ(before.objects, after.objects) << what;
}

// The BACnet/IP sheet, modeless, on port, every page made and filled.
void OpenAndCloseSheet(Port& port)
{
    PROPSHEETPAGEA pages[3] = {};
    PROPSHEETHEADERA sheet = {};
    for (int id : {IDD_BIP_PORT_PAGE, IDD_BIP_BBMD_PAGE, IDD_BIP_FOREIGN_DEVICE_PAGE}) {
        PROPSHEETPAGEA& page = pages[sheet.nPages++];
        page.dwSize = sizeof(page), page.pszTemplate = MAKEINTRESOURCEA(id);
        page.pfnDlgProc = port.GetDialogProc(), page.lParam = LPARAM(&port);
    }
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
    sheet.pszCaption = "BACnet/IP";
    sheet.ppsp = pages;
    HWND window = HWND(PropertySheetA(&sheet));
    for (int page = 1; page < 3; ++page)
        SendMessageA(window, PSM_SETCURSEL, page, 0);
    DestroyWindow(window);
}

}  // namespace

// One entry of every kind, with a broadcast distribution table, accessible
// networks and passwords: loaded and freed, then each dialog on it.
TEST(Leaks, TableLoadAndEveryDialog)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    const char* const entries[] = {
        "Type=#0;Protocol=#0;Port=#1;Dnet=#1;Nic=",
        "Type=#0;Protocol=#1;Port=#2;Dnet=#2;Secondary_Info=/UDP:0xBAC0;Bip\\Bbmd=#1;Bip\\Num_Bdt_Entries=#2;"
        "Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.255\";"
        "Bip\\Bdt_Entry1=/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"",
        "Type=#0;Protocol=#3;Port=#3;Dnet=#3;Secondary_Info=/ioport:0x2E0 /irq:5 /node:7",
        "Type=#1;Port=#4;Dnet=#4",
        "Type=#2;Protocol=#2;Port=#5;Nic=COM1;Ptp_Password=secret;Ptp_Dnets=m:7|8||;PTP\\In_Passwords=m:one|"
        "two||",
        "Type=#2;Protocol=#9;Port=#6;Nic=-client /server_port:80;Ptp_Dnets=m:7|8||",
    };
    StoreEntryCount(DWORD(std::size(entries)));
    for (size_t i = 0; i < std::size(entries); ++i)
        StoreValues(HKEY_LOCAL_MACHINE, EntryPath(int(i)), entries[i]);
    ExpectNoGrowth("table load and free", [] {
        LoadPortTable();
        EXPECT_EQ(6, PortTable.count);
        FreePortTable();
    });

    LoadPortTable();
    const DLGTEMPLATE* table = nullptr;
    ASSERT_TRUE(OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &table));
    ExpectNoGrowth("Port Table dialog", [&] {
        DestroyWindow(CreateDialogIndirectParamA(nullptr, table, nullptr, PortTableDialogProc, 0));
    });
    for (PortTableNode* node = PortTable.head; node; node = node->next) {
        Port& port = *node->port;
        std::string what = port.GetTypeName() + std::string(" ") + port.GetProtocolName();
        ExpectNoGrowth(what, [&] {
            port.GetDialogId() < 0
                ? OpenAndCloseSheet(port)
                : void(DestroyWindow(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(port.GetDialogId()),
                                                        nullptr, port.GetDialogProc(), LPARAM(&port))));
        });
    }
    char dial[256] = "/dial:ATDT123 /retries:3";
    ExpectNoGrowth("Dial dialog", [&] {
        DestroyWindow(
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_DIAL), nullptr, DialDialogProc, LPARAM(dial)));
    });
    FreePortTable();
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
