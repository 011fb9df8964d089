// The built tolmarin.dll as the Windows Sockets framework and host programs load it, driven through its
// exports, its dialogs and the real registry. The Port Table dialog is embedded as a host does it: the DLL
// loaded afresh (so it reads the table stored beforehand), template and procedure from control codes 0
// and 1, the change callback set with code 2.
#include "support/entry_values.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "resource.h"
#include "support/debug_output.h"
#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/platform.h"
#include "tolmarin.h"

namespace {

// Stores the Port Table, each entry as {Type, Port, Dnet, Connected} and protocol 0.
void StoreTable(const std::vector<std::vector<DWORD>>& ports)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(DWORD(ports.size()));
    const char* const names[] = {"Type", "Port", "Dnet", "Connected", "Protocol"};
    for (int i = 0; i < int(ports.size()); ++i)
        for (int v = 0; v < 5; ++v)
            SetDword(HKEY_LOCAL_MACHINE, EntryPath(i), names[v], v < 4 ? ports[i][v] : 0);
}
// count attached virtual ports numbered 1, 2, ...
void StoreVirtualPorts(int count)
{
    std::vector<std::vector<DWORD>> ports;
    for (DWORD i = 1; i <= DWORD(count); ++i)
        ports.push_back({1, i, i, 1});
    StoreTable(ports);
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
    int calls;
    HWND window;
    int changed;
} Changes;
void WINAPI RecordChange(HWND window, BYTE changed) { Changes = {Changes.calls + 1, window, changed}; }

struct EmbeddedDialog {
    EmbeddedDialog()
    {
        const DLGTEMPLATE* dialogTemplate = nullptr;
        TolmarinChangeCallback callback = RecordChange;
        auto ioctl = dll.Ioctl();
        if (!ioctl || !ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) ||
            !ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &proc) ||
            !ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback))
            ADD_FAILURE() << "no dialog from the DLL; load error " << dll.Error();
        host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, 0, 0, 0, 0);
        dialog = CreateDialogIndirectParamA(dll.Module(), dialogTemplate, host, proc, 0);
        list = GetDlgItem(dialog, IDC_PORT_LIST);
        Changes = {};
    }
    ~EmbeddedDialog() { DestroyWindow(host); }

    std::string Text(int row, int column) const
    {
        char text[128] = "";
        ListView_GetItemText(list, row, column, text, sizeof(text));
        return text;
    }
    // Each row's network and image (p physical, v virtual, x problem), the selected row, and Edit, Add,
    // Remove, Up and Down as "EARUD" with '-' for a disabled one: "10v 11x |0|EARUD".
    std::string State() const
    {
        std::string state;
        LVITEMA item = {};
        for (item.mask = LVIF_IMAGE; item.iItem < ListView_GetItemCount(list); ++item.iItem)
            state +=
                Text(item.iItem, 2) + (ListView_GetItem(list, &item) ? "pvtx"[item.iImage & 3] : '?') + ' ';
        state += "|" + std::to_string(ListView_GetNextItem(list, -1, LVNI_SELECTED)) + "|";
        for (int id = IDC_EDIT_PORT; id <= IDC_PORT_DOWN; ++id)
            state += IsWindowEnabled(GetDlgItem(dialog, id)) ? "EARUD"[id - IDC_EDIT_PORT] : '-';
        return state;
    }
    // Selects row alone; -1 selects none.
    void Select(int row) const
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, row >= 0 ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    void Command(int id) const { SendMessageA(dialog, WM_COMMAND, id, 0); }

    LoadedDll dll;
    DLGPROC proc = nullptr;
    HWND host = nullptr, dialog = nullptr, list = nullptr;
};

// Leaves no table behind for the other test programs of the prefix.
struct TableCleanup : testing::Environment {
    void TearDown() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
};
testing::Environment* const tableCleanup = testing::AddGlobalTestEnvironment(new TableCleanup);

// The open menu's items "id text;", read inside the menu's own loop; then it chooses the last item or none.
std::string Items;
bool Choose;
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    HMENU menu = window ? HMENU(SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu || !IsWindowVisible(window))
        return;
    KillTimer(nullptr, timer);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
        Items += std::to_string(GetMenuItemID(menu, i)) + " " + text + ";";
    }
    if (!Choose)
        return void(EndMenu());
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0), PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
}

// A BBMD with two table entries and a foreign device table, registered as a foreign device too.
const std::string BipEntry =
    "Type=#0;Protocol=#1;Port=#1;Connected=#1;Dnet=#1;Nic=;Secondary_Info=/UDP:47808;Bip\\Bbmd=#1;"
    "Bip\\Two_Hops=#1;Bip\\Num_Bdt_Entries=#2;Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" "
    "/SUBNET:\"255.255.255.0\";Bip\\Bdt_Entry1=/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\";"
    "Bip\\This_Subnet_Mask=255.255.255.0;Bip\\Fdt_Present=#1;Bip\\Max_Fdt_Entries=#5;Bip\\Foreign_Device=#1;"
    "Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#47809;Bip\\Fd_Time_To_Live=#600";

const char Title[] = "Tessaline Orvanta Gateway  Port Table";
typedef BOOL(WINAPI* DisplayFunction)(void*, void*, const char**);
typedef void(WINAPI* RunDll32Function)(HWND, HINSTANCE, LPSTR, int);

}  // namespace

TEST(DllPlatform, LoadsAndExportsUndecoratedNames)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
    EXPECT_EQ(nullptr, GetProcAddress(dll.Module(), "OrvantaPropertiesIoctl@8"));
}

// Run by the program's copy under Windows 3.1 (Win32s) emulation: the attach is refused, with one line.
TEST(Unsupported, PlatformRefusesTheAttach)
{
    if (ExpectedPlatform() != TestPlatform::Unsupported)
        GTEST_SKIP() << "runs under win31 emulation only";
    DebugOutput debug;
    LoadedDll dll;
    EXPECT_EQ("1114 1", std::to_string(dll.Error()) + " " + std::to_string(debug.Lines().size()));
}

// The table in memory is loaded at attach and saved byte for byte: a save overwrites a stored change
// made after it, a reload picks it up. Save and reload tell the callback there is nothing unsaved.
// Missing pointer arguments are refused and codes above 6 do nothing: nothing saved.
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

// Control code 3 checks the stored table (two ports numbered 5) with unowned messages, also after a host
// destroyed its embedded dialog, and passes the last answer back.
TEST(Dll, ValidateAnswersDecideTheResult)
{
    for (int answer : {IDOK, IDCANCEL}) {
        StoreTable({{1, 5, 10, 1}, {1, 5, 10, 1}});
        EmbeddedDialog d;
        DestroyWindow(d.dialog);
        DialogDriver driver;
        driver.OnMessageBox(IDOK).OnMessageBox(answer);
        EXPECT_EQ(answer == IDOK, d.dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ(nullptr, driver.MessageBoxes().at(1).owner);
    }
}

// Ethernet; virtual; detached; duplicate of port 2; invalid port 0: the state, the first row's texts, and
// the OK and Cancel buttons shown (none when embedded).
TEST(PortTableDialog, RowsShowTextsAndStatusImages)
{
    StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}, {1, 3, 300, 0}, {1, 2, 201, 1}, {1, 0, 400, 1}});
    EmbeddedDialog d;
    std::string row0;
    for (int column = 0; column < 7; ++column)
        row0 += d.Text(0, column) + "|";
    EXPECT_EQ("100p 200v 300x 201x 400x |0|EARUD 1|Yes|100|Physical|Ethernet|Default|n/a|0",
              d.State() + " " + row0 +
                  std::to_string(IsWindowVisible(GetDlgItem(d.dialog, IDOK)) +
                                 IsWindowVisible(GetDlgItem(d.dialog, IDCANCEL))));
}

// The buttons follow the entry count (at most 255 rows); the title carries the stack's version when it
// fits its 11 characters. Each case: entries stored, major and minor version; rows, buttons, title.
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
        StoreVirtualPorts(stored);
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        major != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MajorVersion", major) : void();
        minor != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MinorVersion", minor) : void();
        EmbeddedDialog d;
        std::string state = d.State();
        EXPECT_EQ(expected, std::to_string(ListView_GetItemCount(d.list)) + " " +
                                state.substr(state.size() - 5) + " " + WindowText(d.dialog));
    }
}

// On ports 2 (network 10), 2 (11, a duplicate of the first) and 3 (12): the rows are told apart by their
// networks, and a change refreshes the images of the rows below it. Each case: the row selected, the
// command and how often; then the state, the callback's calls, window and flag, and the networks saved.
TEST(PortTableDialog, CommandsChangeTableListAndSelection)
{
    const std::tuple<int, int, int, const char*> cases[] = {
        {1, IDC_PORT_UP, 1, "11v 10x 12v |0|EARUD 1w1 11,10,12,"},
        {2, IDC_PORT_UP, 1, "10v 12v 11x |1|EARUD 1w1 10,12,11,"},
        {0, IDC_PORT_DOWN, 1, "11v 10x 12v |1|EARUD 1w1 11,10,12,"},
        {0, IDC_REMOVE_PORT, 1, "11v 12v |0|EARUD 1w1 11,12,"},
        {2, IDC_REMOVE_PORT, 1, "10v 11x |1|EARUD 1w1 10,11,"},
        {2, IDC_REMOVE_PORT, 3, "|-1|-A--- 3w1 "},
        {-1, IDC_REMOVE_PORT, 1, "10v 11x 12v |-1|EARUD 0w0 10,11,12,"},
        {1, IDOK, 1, "10v 11x 12v |1|EARUD 0w0 10,11,12,"},
        {1, IDCANCEL, 1, "10v 11x 12v |1|EARUD 0w0 10,11,12,"},
        {1, IDC_ADD_PORT, 1, "10v 11x 12v |1|EARUD 0w0 10,11,12,"},
    };
    for (auto [selected, command, times, expected] : cases) {
        StoreTable({{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}});
        EmbeddedDialog d;
        d.Select(selected);
        for (int i = 0; i < times; ++i)
            d.Command(command);
        std::string seen = (IsWindowVisible(d.dialog) ? "" : "ended ") + d.State() + " " +
                           std::to_string(Changes.calls) +
                           (Changes.window == d.dialog || !Changes.calls ? "w" : "?") +
                           std::to_string(Changes.changed) + " ";
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(expected, seen + Stored("Dnet")) << command << " on " << selected;
    }
}

// Add and Edit (command 0: a double-click) run the kind's dialog, here giving port 2 and network 900;
// its Cancel changes nothing. Each case: entries stored, the command, the dialog and its answer; then
// the state and the callback's calls and flag.
TEST(PortTableDialog, AddAndEditGoThroughTheKindsDialog)
{
    const std::tuple<int, int, const char*, int, const char*> cases[] = {
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, "1v 2v 900x |0|EARUD 11"},
        {0, IDM_ADD_ETHERNET, "Ethernet Port Properties", IDOK, "900p |0|EAR-- 11"},
        {2, 0, "Virtual Port Properties", IDOK, "900v 2x |0|EARUD 11"},
        {2, 0, "Virtual Port Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
        {2, IDM_ADD_COM20020, "ARCNET (COM20020) Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
    };
    for (auto [stored, command, caption, answer, expected] : cases) {
        StoreVirtualPorts(stored);
        EmbeddedDialog d;
        DialogDriver driver;
        driver.OnDialog(caption, [answer = answer](HWND kind) {
            SetDlgItemTextA(kind, IDC_PORT_ID, "2");
            SetDlgItemTextA(kind, IDC_NETWORK, "900");
            PressButton(kind, answer);
        });
        NMHDR click = {d.list, IDC_PORT_LIST, UINT(NM_DBLCLK)};
        command ? d.Command(command) : void(SendMessageA(d.dialog, WM_NOTIFY, 0, LPARAM(&click)));
        EXPECT_EQ(expected, d.State() + " " + std::to_string(Changes.calls) + std::to_string(Changes.changed))
            << command << " with " << stored << " entries";
    }
}

// The button opens the menu as it draws itself pressed. Closing without a choice posts nothing; a choice
// is posted from the button to the dialog, to run once the drawing has returned.
TEST(AddMenuPlatform, OffersThePlatformsKindsAndPostsTheChoice)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    HWND button = GetDlgItem(d.dialog, IDC_ADD_PORT);
    for (bool choose : {false, true}) {
        Items.clear(), Choose = choose;
        UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadOpenMenu);
        SendMessageA(button, BM_SETSTATE, TRUE, 0), SendMessageA(button, BM_SETSTATE, FALSE, 0);
        KillTimer(nullptr, timer);
        MSG posted = {};
        Items += PeekMessageA(&posted, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)
                     ? std::to_string(posted.wParam) +
                           (posted.hwnd == d.dialog && HWND(posted.lParam) == button ? "" : "?")
                     : "none";
        EXPECT_EQ(
            std::string(ExpectedPlatform() == TestPlatform::Win9x
                            ? "220 Point-To-Point;221 Virtual;222 BACnet/IP;224 ARCNET;223 Ethernet;"
                            : "220 Point-To-Point;221 Virtual;222 BACnet/IP;223 Ethernet/ARCNET/MSTP;") +
                (choose ? std::to_string(IDM_ADD_ETHERNET) : "none"),
            Items);
    }
}

// The dialog removes the second of an Ethernet and a virtual port (the Ethernet port alone passes the
// check silently), then closes with the case's button; its command line (null: DisplayPropertiesDlg)
// names the owner. Then the result (DisplayPropertiesDlg's text or the
// broadcast's wParam), whether the owner is the test's window, the ports stored, and after a save.
TEST(StandaloneDialog, OkSavesAndCancelKeepsTheEditsInMemory)
{
    HWND catcher = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, 0, 0, 0, 0);
    UINT closed = RegisterWindowMessageA(TOLMARIN_DIALOG_CLOSED_MESSAGE);
    std::string handle = std::to_string(INT_PTR(catcher)), padded = " \t+" + handle + "x";
    const std::tuple<const char*, int, const char*> cases[] = {
        {nullptr, IDOK, "1 - 1, 1,"},        {nullptr, IDCANCEL, "0 - 1,2, 1,"},
        {handle.c_str(), IDOK, "0 o 1, 1,"}, {padded.c_str(), IDCANCEL, "1 o 1,2, 1,"},
        {"-5", IDCANCEL, "1 - 1,2, 1,"},  // names no window: no owner
    };
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
        commandLine
            ? dll.Get<RunDll32Function>("OrvantaPropertiesThroughRunDll32")(nullptr, nullptr, &line[0], 0)
            : void(dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, &text));
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
    StoreVirtualPorts(2);
    LoadedDll dll;
    DialogDriver driver;
    driver.OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDOK); })
        .OnMessageBox(IDCANCEL)
        .OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(TRUE, dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, nullptr));
    EXPECT_EQ("1,2,", Stored("Port"));
}

// Remove twice empties the table; BBMD off allows the foreign device registration, here turned off.
TEST(BipSheet, PagesEnableAndRemove)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    StoreValues(HKEY_LOCAL_MACHINE, EntryPath(0), BipEntry);
    EmbeddedDialog d;
    DialogDriver driver;
    // Wine activates a sheet before it sets the caption: the driver meets the frame's placeholder title.
    driver.OnDialog("Properties for %s", [&](HWND sheet) {
        for (auto [page, id] :
             {std::pair{1, IDC_BIP_BDT_REMOVE}, {1, IDC_BIP_BDT_REMOVE}, {1, IDC_BIP_BBMD}, {2, 552}})
            PropSheet_SetCurSel(sheet, nullptr, page),
                SendDlgItemMessageA(PropSheet_GetCurrentPageHwnd(sheet), id, BM_CLICK, 0, 0);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EntryValues expected = ParseValues(BipEntry);
    expected.erase("Bip\\Bdt_Entry0"), expected.erase("Bip\\Bdt_Entry1");
    expected["Bip\\Bbmd"] = expected["Bip\\Num_Bdt_Entries"] = expected["Bip\\Foreign_Device"] = "#0";
    EXPECT_EQ(expected, ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0)));
}

// The incoming passwords' list editor: an empty text is not added, Remove with nothing selected keeps the
// list and with an item selected takes it; OK saves what is left.
TEST(PtpDialogs, ListEditorThroughEdit)
{
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 2}, {"Protocol", 2}, {"Port", 3}});
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Nic", "COM1");
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog("Point-To-Point Port Properties", [&](HWND ptp) {
        HWND list = GetDlgItem(ptp, IDC_PASSWORD_LIST);
        for (const char* typed : {"a", "b", "", "c"})
            SetWindowTextA(list, typed), SendMessageA(ptp, WM_COMMAND, IDC_PASSWORD_ADD, 0);
        for (int selected : {-1, 1, 0})
            SendMessageA(list, CB_SETCURSEL, WPARAM(selected), 0),
                SendMessageA(ptp, WM_COMMAND, IDC_PASSWORD_REMOVE, 0);
        PressButton(ptp, IDOK);
    });
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("m:c||", ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0))["PTP\\In_Passwords"]);
}

// Dial on a new port: retries of -1 are questioned, settings too long for 255 characters refused.
TEST(PtpDialogs, DialWarnsAndRefuses)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog("Point-To-Point Port Properties", [](HWND ptp) {
        SendDlgItemMessageA(ptp, IDC_COM_PORT, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(ptp, IDC_MODEM, BM_CLICK, 0, 0);
        PressButton(ptp, IDC_DIAL);
    });
    auto type = [](HWND dial) {
        SetDlgItemTextA(dial, IDC_PHONES, "1"), SetDlgItemTextA(dial, IDC_RETRIES, "-1");
        SetDlgItemTextA(dial, IDC_INITSTR, std::string(250, 'i').c_str()), PressButton(dial, IDOK);
    };
    driver.OnDialog("Dial and Modem Properties", type).OnMessageBox(IDOK).OnMessageBox(IDOK);
    driver.OnDialog("Dial and Modem Properties", [](HWND dial) { PressButton(dial, IDCANCEL); });
    driver.OnDialog("Point-To-Point Port Properties", [](HWND ptp) { PressButton(ptp, IDCANCEL); });
    d.Command(IDM_ADD_PTP);
    std::string boxes;
    for (const MessageBoxRecord& box : driver.MessageBoxes())
        boxes += std::to_string(box.style) + " " + box.text + "\n";
    EXPECT_EQ(
        "49 Retries value must be greater than -1. Do you wish to continue?\n16 The dial settings are too "
        "long. Phone numbers, initialization string and dial prefix together must fit in 255 characters.\n",
        boxes);
}
