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
#include "support/registry_sandbox.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

struct Usage {
    long heapBlocks, gdi, user;
};

// Counts window when this process owns it, and a top-level window's
// descendants with it.
BOOL CALLBACK CountWindows(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && ++*reinterpret_cast<long*>(count) &&
        !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
        EnumChildWindows(window, CountWindows, count);
    return TRUE;
}

// Busy blocks of every heap of the process (the C runtime's heap too), and
// the process's GDI and USER objects.
Usage Measure()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    long blocks = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY e = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &e))
            blocks += (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        HeapUnlock(heaps[i]);
    }
    long gdi = long(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    long user = long(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    // Wine answers 0 for both, but takes a GDI object or a menu by its
    // table index alone (the upper word 0), answered from the process's own
    // table: every index is asked what it holds. An icon keeps its pictures
    // as GDI bitmaps, so a lost icon counts there. Windows are counted by
    // enumeration (top-level, their descendants and message-only ones), as
    // probing a window index asks the server.
    if (!gdi && !user) {
        for (UINT_PTR index = 0; index < 0x10000; ++index)
            gdi += GetObjectType(HGDIOBJ(index)) != 0, user += IsMenu(HMENU(index)) != 0;
        EnumWindows(CountWindows, LPARAM(&user));
        for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr));)
            CountWindows(window, LPARAM(&user));
    }
    return {blocks, gdi, user};
}

void Flush()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

int Cycles()
{
    const char* text = getenv("TOLMARIN_LEAK_CYCLES");
    return text && atoi(text) > 0 ? atoi(text) : 20;
}

// cycle run a few times to settle caches, then Cycles() times; a leak of
// one block per cycle shows as Cycles() blocks, far above the tolerance for
// what Wine itself allocates on the way.
void ExpectNoGrowth(const std::function<void()>& cycle)
{
    for (int i = 0; i < 5; ++i)
        cycle();
    Flush();
    Usage before = Measure();
    int cycles = Cycles();
    for (int i = 0; i < cycles; ++i)
        cycle(), Flush();
    Usage after = Measure();
    printf("%d cycles: heap blocks %ld -> %ld, GDI objects %ld -> %ld, USER objects %ld -> %ld\n", cycles,
           before.heapBlocks, after.heapBlocks, before.gdi, after.gdi, before.user, after.user);
    EXPECT_LE(after.heapBlocks - before.heapBlocks, 8 + cycles / 20) << cycles << " cycles";
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
}

// One entry of every kind, with a broadcast distribution table, accessible
// networks and passwords.
void StoreMixedTable()
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    const char* const entries[] = {
        "Type=#0;Protocol=#0;Port=#1;Dnet=#1;Nic=",
        "Type=#0;Protocol=#1;Port=#2;Dnet=#2;Secondary_Info=/UDP:0xBAC0;Bip\\Bbmd=#1;Bip\\Num_Bdt_Entries=#2;"
        "Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.255\";"
        "Bip\\Bdt_Entry1=/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"",
        "Type=#0;Protocol=#3;Port=#3;Dnet=#3;Secondary_Info=/ioport:0x2E0 /irq:5 /node:7",
        "Type=#1;Port=#4;Dnet=#4",
        "Type=#2;Protocol=#2;Port=#5;Nic=COM1;Ptp_Password=secret",
        "Type=#2;Protocol=#9;Port=#6;Nic=-client /server_port:80",
    };
    StoreEntryCount(DWORD(std::size(entries)));
    for (size_t i = 0; i < std::size(entries); ++i)
        StoreValues(HKEY_LOCAL_MACHINE, EntryPath(int(i)), entries[i]);
    const char networks[] = "7\0008\0", passwords[] = "one\0two\0";
    for (int i : {4, 5})
        SetRaw(HKEY_LOCAL_MACHINE, EntryPath(i), "Ptp_Dnets", REG_MULTI_SZ, networks, sizeof(networks));
    SetRaw(HKEY_LOCAL_MACHINE, EntryPath(4) + "\\PTP", "In_Passwords", REG_MULTI_SZ, passwords,
           sizeof(passwords));
}

// The BACnet/IP sheet, modeless, on port.
void OpenAndCloseSheet(Port& port)
{
    const int pageIds[] = {IDD_BIP_PORT_PAGE, IDD_BIP_BBMD_PAGE, IDD_BIP_FOREIGN_DEVICE_PAGE};
    PROPSHEETPAGEA pages[3] = {};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof(pages[i]);
        pages[i].pszTemplate = MAKEINTRESOURCEA(pageIds[i]);
        pages[i].pfnDlgProc = port.GetDialogProc();
        pages[i].lParam = LPARAM(&port);
    }
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
    sheet.pszCaption = "BACnet/IP";
    sheet.nPages = 3;
    sheet.ppsp = pages;
    HWND window = HWND(PropertySheetA(&sheet));
    ASSERT_NE(nullptr, window);
    for (int page = 1; page < 3; ++page)  // every page made and filled
        SendMessageA(window, PSM_SETCURSEL, page, 0);
    DestroyWindow(window);
}

struct LoadedTable {
    LoadedTable() { StoreMixedTable(), LoadPortTable(); }
    ~LoadedTable() { FreePortTable(), DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
};

}  // namespace

TEST(Leaks, TableLoadAndFree)
{
    StoreMixedTable();
    ExpectNoGrowth([] {
        LoadPortTable();
        EXPECT_EQ(6, PortTable.count);
        FreePortTable();
    });
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

TEST(Leaks, PortTableDialog)
{
    LoadedTable table;
    const DLGTEMPLATE* dialogTemplate = nullptr;
    ASSERT_TRUE(OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate));
    ExpectNoGrowth([&] {
        HWND dialog = CreateDialogIndirectParamA(nullptr, dialogTemplate, nullptr, PortTableDialogProc, 0);
        ASSERT_NE(nullptr, dialog);
        DestroyWindow(dialog);
    });
}

TEST(Leaks, KindDialogsAndSheet)
{
    LoadedTable table;
    for (PortTableNode* node = PortTable.head; node; node = node->next) {
        Port& port = *node->port;
        SCOPED_TRACE(port.GetTypeName() + std::string(" ") + port.GetProtocolName());
        ExpectNoGrowth([&] {
            if (port.GetDialogId() < 0)
                return OpenAndCloseSheet(port);
            HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(port.GetDialogId()), nullptr,
                                             port.GetDialogProc(), LPARAM(&port));
            ASSERT_NE(nullptr, dialog);
            DestroyWindow(dialog);
        });
    }
    char dial[256] = "/dial:ATDT123 /retries:3";
    ExpectNoGrowth([&] {
        HWND dialog =
            CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_DIAL), nullptr, DialDialogProc, LPARAM(dial));
        ASSERT_NE(nullptr, dialog);
        DestroyWindow(dialog);
    });
}
