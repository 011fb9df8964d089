// The built tolmarin.dll through its exports and dialogs. The Port Table dialog is embedded as a host does
// it: the DLL loaded afresh (reading the table stored before), template, procedure and callback by codes 0-2.
#include "support/entry_values.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "resource.h"
#include "support/debug_output.h"
#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/platform.h"
#include "tolmarin.h"

namespace {

using Table = std::vector<std::vector<DWORD>>;
// Stores the Port Table, each entry as {Type, Port, Dnet, Connected} and protocol 0.
void StoreTable(const Table& ports)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(DWORD(ports.size()));
    const char* const names[] = {"Type", "Port", "Dnet", "Connected", "Protocol"};
    for (int i = 0; i < int(ports.size()); ++i)
        for (int v = 0; v < 5; ++v)
            SetDword(HKEY_LOCAL_MACHINE, EntryPath(i), names[v], v < 4 ? ports[i][v] : 0);
}
// count attached virtual ports numbered 1, 2, ...
Table VirtualPorts(DWORD count)
{
    Table ports;
    for (DWORD i = 1; i <= count; ++i)
        ports.push_back({1, i, i, 1});
    return ports;
}
// One value of every stored entry: "1,2,".
std::string Stored(const char* name)
{
    std::string values;
    for (int i = 0; i < int(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0)); ++i)
        values += std::to_string(GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), name)) + ",";
    return values;
}

// The host's change callback: records the calls it receives.
struct {
    int calls, changed;
    HWND window;
} Changes;
void WINAPI RecordChange(HWND window, BYTE changed) { Changes = {Changes.calls + 1, changed, window}; }

struct EmbeddedDialog {
    EmbeddedDialog()
    {
        const DLGTEMPLATE* dialogTemplate = nullptr;
        TolmarinChangeCallback callback = RecordChange;
        auto ioctl = dll.Ioctl();
        EXPECT_EQ(3, ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) +
                         ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &proc) +
                         ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback));
        host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, 0, 0, 0, 0);
        dialog = CreateDialogIndirectParamA(dll.module, dialogTemplate, host, proc, 0);
        list = GetDlgItem(dialog, IDC_PORT_LIST);
        Changes = {};
    }
    ~EmbeddedDialog() { DestroyWindow(host); }

    // Each row's network and image (p physical, v virtual, x problem), the selected row, and Edit, Add,
    // Remove, Up and Down as "EARUD" with '-' for a disabled one: "10v 11x |0|EARUD".
    std::string State() const
    {
        std::string state;
        char text[128];
        LVITEMA item = {};
        for (item.mask = LVIF_IMAGE; item.iItem < ListView_GetItemCount(list); ++item.iItem) {
            ListView_GetItemText(list, item.iItem, 2, text, sizeof(text));
            state +=
                text + std::string(1, ListView_GetItem(list, &item) ? "pvtx"[item.iImage & 3] : '?') + ' ';
        }
        state += "|" + std::to_string(ListView_GetNextItem(list, -1, LVNI_SELECTED)) + "|";
        for (int id = IDC_EDIT_PORT; id <= IDC_PORT_DOWN; ++id)
            state += IsWindowEnabled(GetDlgItem(dialog, id)) ? "EARUD"[id - IDC_EDIT_PORT] : '-';
        return state;
    }
    LoadedDll dll;
    DLGPROC proc = nullptr;
    HWND host = nullptr, dialog = nullptr, list = nullptr;
};

const char Title[] = "Tessaline Orvanta Gateway  Port Table";
#define EXPORT(dll, name) (dll).Get<decltype(&name)>(#name)  // an export, typed as tolmarin.h declares it
void Cancel(HWND dialog) { PressButton(dialog, IDCANCEL); }

}  // namespace

TEST(DllPlatform, LoadsAndExportsUndecoratedNames)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.error;
    EXPECT_EQ(nullptr, GetProcAddress(dll.module, "OrvantaPropertiesIoctl@8"));
}

// Run by the program's copy under Windows 3.1 (Win32s) emulation: the attach is refused with one line,
// and the detach after it writes none.
TEST(Unsupported, PlatformRefusesTheAttach)
{
    if (ExpectedPlatform() != TestPlatform::Unsupported)
        GTEST_SKIP() << "runs under win31 emulation only";
    DebugOutput debug;
    EXPECT_EQ(1114u, LoadedDll().error);
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: Unsupported Windows platform. Cannot run.\n"},
              debug.Lines());
}

// The table loaded at attach is saved byte for byte over a later stored change, which a reload picks up;
// both tell the callback nothing is unsaved. Missing pointers are refused, codes above 6 do nothing.
TEST(Dll, SaveReloadAndControlCodes)
{
    StoreTable({{1, 1, 100, 1}, {1, 2, 65534, 0}});
    EntryValues before = ReadValues(HKEY_LOCAL_MACHINE, TablePath, true);
    LoadedDll dll;
    auto ioctl = dll.Ioctl();
    TolmarinChangeCallback callback = RecordChange;
    Changes = {};
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(before, ReadValues(HKEY_LOCAL_MACHINE, TablePath, true));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_RELOAD, nullptr));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    std::string answers = Stored("Port") + " " + std::to_string(Changes.calls) +
                          std::to_string(Changes.changed) + (Changes.window ? "w" : "-") + " ";
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    for (DWORD code : {0u, 1u, 2u, 7u, 0xFFFFFFFFu})
        answers += std::to_string(ioctl(code, nullptr));
    EXPECT_EQ("9,2, 30- 00000 0", answers + " " + std::to_string(KeyExists(HKEY_LOCAL_MACHINE, TablePath)));
}

// Control code 3 after a host destroyed its embedded dialog: unowned messages, the last answer passed back.
TEST(Dll, ValidateAnswersDecideTheResult)
{
    StoreTable({{1, 5, 10, 1}, {1, 5, 10, 1}});
    EmbeddedDialog d;
    DestroyWindow(d.dialog);
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDCANCEL);
    EXPECT_EQ(0, d.dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
    EXPECT_EQ(nullptr, driver.MessageBoxes().at(1).owner);
}

// Per entries stored (255 shown at most) and version: rows, buttons, title (with a version of 11 at most).
// A full table once kept the dialog busy for seconds, its list redrawn at every row it was filled with.
TEST(PortTableDialog, ButtonStatesAndTitle)
{
    const DWORD None = 0xFFFFFFFF;
    const std::tuple<int, DWORD, DWORD, const char*> cases[] = {
        {0, 4, 2, "0 -A--- Tessaline Orvanta Gateway v4.2 Port Table"},
        {1, 4, None, "1 EAR-- Tessaline Orvanta Gateway  Port Table"},
        {2, 9999, 99999, "2 EARUD Tessaline Orvanta Gateway v9999.99999 Port Table"},
        {254, 99999, 99999, "254 EARUD Tessaline Orvanta Gateway  Port Table"},
        {300, None, 1, "255 E-RUD Tessaline Orvanta Gateway  Port Table"}};
    for (auto [stored, major, minor, expected] : cases) {
        StoreTable(VirtualPorts(stored));
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        major != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MajorVersion", major) : void();
        minor != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MinorVersion", minor) : void();
        EmbeddedDialog d;
        DWORD start = GetTickCount();
        d.dll.Ioctl()(TOLMARIN_IOCTL_RELOAD, nullptr);  // refills the shown list
        EXPECT_LT(GetTickCount() - start, 1500u) << stored;
        EXPECT_EQ(expected, std::to_string(ListView_GetItemCount(d.list)) + " " +
                                d.State().substr(d.State().size() - 5) + " " + WindowText(d.dialog));
    }
}

// A table, row selected, command (0: double-click), its kind's dialog given port 2, network 900 and answered:
// state, callback calls/window/flag, networks saved. Five: Ethernet, virtual, detached, dup. of 2, port 0.
TEST(PortTableDialog, CommandsChangeTableListAndSelection)
{
    const Table Three = {{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}}, Two = VirtualPorts(2);
    const Table Five = {{0, 1, 100, 1}, {1, 2, 200, 1}, {1, 3, 300, 0}, {1, 2, 201, 1}, {1, 0, 400, 1}};
    const std::tuple<Table, int, int, const char*, int, const char*> cases[] = {
        {Five, 0, IDOK, nullptr, 0, "100p 200v 300x 201x 400x |0|EARUD 0w0 100,200,300,201,400,"},
        {Three, 2, IDC_PORT_UP, nullptr, 0, "10v 12v 11x |1|EARUD 1w1 10,12,11,"},
        {Three, 0, IDC_PORT_DOWN, nullptr, 0, "11v 10x 12v |1|EARUD 1w1 11,10,12,"},
        {Three, 0, IDC_REMOVE_PORT, nullptr, 0, "11v 12v |0|EARUD 1w1 11,12,"},
        {Three, 2, IDC_REMOVE_PORT, nullptr, 0, "10v 11x |1|EARUD 1w1 10,11,"},
        {VirtualPorts(1), 0, IDC_REMOVE_PORT, nullptr, 0, "|-1|-A--- 1w1 "},
        {Three, -1, IDC_REMOVE_PORT, nullptr, 0, "10v 11x 12v |-1|EARUD 0w0 10,11,12,"},
        {Three, 1, IDCANCEL, nullptr, 0, "10v 11x 12v |1|EARUD 0w0 10,11,12,"},
        {Three, 1, IDC_ADD_PORT, nullptr, 0, "10v 11x 12v |1|EARUD 0w0 10,11,12,"},
        {Two, 0, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, "1v 2v 900x |0|EARUD 1w1 1,2,900,"},
        {{}, -1, IDM_ADD_ETHERNET, "Ethernet Port Properties", IDOK, "900p |0|EAR-- 1w1 900,"},
        {Two, 0, 0, "Virtual Port Properties", IDOK, "900v 2x |0|EARUD 1w1 900,2,"},
        {Two, 0, IDM_ADD_COM20020, "ARCNET (COM20020) Properties", IDCANCEL, "1v 2v |0|EARUD 0w0 1,2,"},
    };
    for (auto [table, selected, command, caption, answer, expected] : cases) {
        StoreTable(table);
        EmbeddedDialog d;
        DialogDriver driver;
        if (caption)
            driver.OnDialog(caption, [answer = answer](HWND kind) {
                SetDlgItemTextA(kind, IDC_PORT_ID, "2");
                SetDlgItemTextA(kind, IDC_NETWORK, "900");
                PressButton(kind, answer);
            });
        ListView_SetItemState(d.list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(d.list, selected, selected >= 0 ? LVIS_SELECTED : 0, LVIS_SELECTED);
        NMHDR click = {d.list, IDC_PORT_LIST, UINT(NM_DBLCLK)};
        SendMessageA(d.dialog, command ? WM_COMMAND : WM_NOTIFY, command, command ? 0 : LPARAM(&click));
        std::string seen = (IsWindowVisible(d.dialog) ? "" : "ended ") + d.State() + " " +
                           std::to_string(Changes.calls) +
                           (Changes.window == d.dialog || !Changes.calls ? "w" : "?") +
                           std::to_string(Changes.changed) + " ";
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(expected, seen + Stored("Dnet")) << command << " on " << selected;
    }
}

// Through Edit, the BACnet/IP sheet's BBMD page turned on and OK: the entry is saved with it.
TEST(BipSheet, OkSavesThePages)
{
    StoreTable({{0, 1, 100, 1}});
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Protocol", 1);
    EmbeddedDialog d;
    DialogDriver driver;  // Wine activates a sheet before it sets its caption: the placeholder title is met
    driver.OnDialog("Properties for %s", [](HWND sheet) {
        PropSheet_SetCurSel(sheet, nullptr, 1);
        SendDlgItemMessageA(PropSheet_GetCurrentPageHwnd(sheet), IDC_BIP_BBMD, BM_CLICK, 0, 0);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    ListView_SetItemState(d.list, 0, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageA(d.dialog, WM_COMMAND, IDC_EDIT_PORT, 0);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("#1", ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0))["Bip\\Bbmd"]);
}

// Remove the virtual port (the Ethernet one passes silently), close; command line (null:
// DisplayPropertiesDlg) names the owner. Then the text or broadcast's wParam, whether the owner is ours, the
// ports, after a save.
TEST(StandaloneDialog, OkSavesAndCancelKeepsTheEditsInMemory)
{
    HWND catcher = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, 0, 0, 0, 0);
    UINT closed = RegisterWindowMessageA(TOLMARIN_DIALOG_CLOSED_MESSAGE);
    std::string handle = std::to_string(INT_PTR(catcher)), padded = " \t+" + handle + "x";
    const std::tuple<const char*, int, const char*> cases[] = {{nullptr, IDOK, "1 - 1, 1,"},
                                                               {nullptr, IDCANCEL, "0 - 1,2, 1,"},
                                                               {handle.c_str(), IDOK, "0 o 1, 1,"},
                                                               {padded.c_str(), IDCANCEL, "1 o 1,2, 1,"}};
    for (auto [commandLine, button, expected] : cases) {
        StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}});
        LoadedDll dll;
        DialogDriver driver;
        HWND owner = HWND(-1);
        driver.OnDialog(Title, [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            ListView_SetItemState(GetDlgItem(dialog, IDC_PORT_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageA(dialog, WM_COMMAND, IDC_REMOVE_PORT, 0);
            PressButton(dialog, button);
        });
        std::string line = commandLine ? commandLine : "";
        const char* text = nullptr;
        MSG message = {};
        commandLine ? EXPORT(dll, OrvantaPropertiesThroughRunDll32)(nullptr, nullptr, &line[0], 0)
                    : void(EXPORT(dll, DisplayPropertiesDlg)(nullptr, nullptr, &text));
        std::string result = !commandLine ? text ? text : "(null)"
                             : PeekMessageA(&message, catcher, closed, closed, PM_REMOVE)
                                 ? std::to_string(message.wParam)
                                 : "?";
        result += std::string(owner == catcher ? " o " : owner ? " ? " : " - ") + Stored("Port");
        dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(expected, result + " " + Stored("Port")) << (commandLine ? commandLine : "");
    }
    DestroyWindow(catcher);
}

// Cancel on a validation message keeps the dialog open; a null result pointer gets nothing written.
TEST(StandaloneDialog, CancelledValidationKeepsTheDialogOpen)
{
    StoreTable(VirtualPorts(2));
    LoadedDll dll;
    DialogDriver driver;
    driver.OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDOK); })
        .OnMessageBox(IDCANCEL)
        .OnDialog(Title, Cancel);
    EXPECT_EQ(TRUE, EXPORT(dll, DisplayPropertiesDlg)(nullptr, nullptr, nullptr));
    EXPECT_EQ("1,2,", Stored("Port"));
}

// A new port: its password list adds no empty text and removes nothing unselected; Dial questions retries
// of -1 and refuses settings too long for 255 characters.
TEST(PtpDialogs, ListEditorAndDialWarnings)
{
    StoreTable({});
    EmbeddedDialog d;
    DialogDriver driver;
    const char Ptp[] = "Point-To-Point Port Properties", Dial[] = "Dial and Modem Properties";
    std::vector<std::string> passwords;
    driver.OnDialog(Ptp, [&](HWND ptp) {
        HWND list = GetDlgItem(ptp, IDC_PASSWORD_LIST);
        for (const char* typed : {"a", "b", ""})
            SetWindowTextA(list, typed), SendMessageA(ptp, WM_COMMAND, IDC_PASSWORD_ADD, 0);
        for (int selected : {-1, 0})
            SendMessageA(list, CB_SETCURSEL, WPARAM(selected), 0),
                SendMessageA(ptp, WM_COMMAND, IDC_PASSWORD_REMOVE, 0);
        passwords = ComboItems(list);
        SendDlgItemMessageA(ptp, IDC_COM_PORT, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(ptp, IDC_MODEM, BM_CLICK, 0, 0);
        PressButton(ptp, IDC_DIAL);
    });
    driver.OnDialog(Dial, [](HWND dial) {
        SetDlgItemTextA(dial, IDC_PHONES, "1"), SetDlgItemTextA(dial, IDC_RETRIES, "-1");
        SetDlgItemTextA(dial, IDC_INITSTR, std::string(250, 'i').c_str()), PressButton(dial, IDOK);
    });
    driver.OnMessageBox(IDOK).OnMessageBox(IDOK).OnDialog(Dial, Cancel).OnDialog(Ptp, Cancel);
    SendMessageA(d.dialog, WM_COMMAND, IDM_ADD_PTP, 0);
    std::string boxes;
    for (const MessageBoxRecord& box : driver.MessageBoxes())
        boxes += std::to_string(box.style) + " " + box.text + "\n";
    EXPECT_EQ(
        "49 Retries value must be greater than -1. Do you wish to continue?\n16 The dial settings are too "
        "long. Phone numbers, initialization string and dial prefix together must fit in 255 characters.\n",
        boxes);
    EXPECT_EQ(std::vector<std::string>{"b"}, passwords);
}
