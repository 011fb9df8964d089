// The Port Table dialog embedded in a host's window: rows, button states, and each command's effect on
// the table, the list, the selection and the host's change callback.
#include <tuple>

#include "ui/embedded_dialog.h"

// Ethernet; virtual; detached; duplicate of port 2; invalid port 0. No OK or Cancel when embedded.
TEST(PortTableDialog, RowsShowTextsAndStatusImages)
{
    StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}, {1, 3, 300, 0}, {1, 2, 201, 1}, {1, 0, 400, 1}});
    EmbeddedDialog d;
    std::string row0;
    for (int column = 0; column < 7; ++column)
        row0 += d.Text(0, column) + "|";
    EXPECT_EQ("100p 200v 300x 201x 400x |0|EARUD 1|Yes|100|Physical|Ethernet|Default|n/a|",
              d.State() + " " + row0);
    EXPECT_EQ(0,
              IsWindowVisible(GetDlgItem(d.dialog, IDOK)) + IsWindowVisible(GetDlgItem(d.dialog, IDCANCEL)));
}

// The buttons follow the entry count (at most 255 rows); the title carries the stack's version when it
// fits its 11 characters. Each case: entries stored, major and minor version; rows, buttons, title.
TEST(PortTableDialog, ButtonStatesAndTitle)
{
    const DWORD None = 0xFFFFFFFF;
    const std::tuple<int, DWORD, DWORD, const char*> cases[] = {{0, 4, 2, "0 -A--- v4.2"},
                                                                {1, 4, None, "1 EAR-- "},
                                                                {2, 9999, 99999, "2 EARUD v9999.99999"},
                                                                {254, 99999, 99999, "254 EARUD "},
                                                                {255, None, 1, "255 E-RUD "},
                                                                {300, None, None, "255 E-RUD "}};
    for (auto [stored, major, minor, expected] : cases) {
        StoreVirtualPorts(stored);
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        major != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MajorVersion", major) : void();
        minor != None ? SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MinorVersion", minor) : void();
        EmbeddedDialog d;
        std::string state = d.State(), title = WindowText(d.dialog);
        EXPECT_EQ(expected, std::to_string(ListView_GetItemCount(d.list)) + " " +
                                state.substr(state.size() - 5) + " " + title.substr(26, title.size() - 37));
        EXPECT_EQ("Tessaline Orvanta Gateway ", title.substr(0, 26));
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
        {-1, IDC_REMOVE_PORT, 1, "10v 11x 12v |-1|EARUD 0 10,11,12,"},
        {1, IDOK, 1, "10v 11x 12v |1|EARUD 0 10,11,12,"},
        {1, IDCANCEL, 1, "10v 11x 12v |1|EARUD 0 10,11,12,"},
        {1, IDC_ADD_PORT, 1, "10v 11x 12v |1|EARUD 0 10,11,12,"},
    };
    for (auto [selected, command, times, expected] : cases) {
        StoreTable({{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}});
        EmbeddedDialog d;
        d.Select(selected);
        for (int i = 0; i < times; ++i)
            d.Command(command);
        std::string changes = Changes.calls
                                  ? std::to_string(Changes.calls) + (Changes.window == d.dialog ? "w" : "?") +
                                        std::to_string(Changes.changed)
                                  : "0";
        EXPECT_TRUE(IsWindowVisible(d.dialog)) << "the dialog ended";
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(expected, d.State() + " " + changes + " " + Stored("Dnet"))
            << command << " on " << selected;
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
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
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
