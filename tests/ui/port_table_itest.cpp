// The Port Table dialog embedded in a host's window: rows, button states, and each command's effect on
// the table, the list, the selection and the host's change callback.
#include "ui/embedded_dialog.h"

// Ethernet; virtual; detached; duplicate of port 2; invalid port 0. No OK or Cancel when embedded.
TEST(PortTableDialog, RowsShowTextsAndStatusImages)
{
    StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}, {1, 3, 300, 0}, {1, 2, 201, 1}, {1, 0, 400, 1}});
    EmbeddedDialog d;
    EXPECT_EQ("100p 200v 300x 201x 400x |0|EARUD", d.State());
    std::string row0;
    for (int column = 0; column < 7; ++column)
        row0 += d.Text(0, column) + "|";
    EXPECT_EQ("1|Yes|100|Physical|Ethernet|Default|n/a|", row0);
    EXPECT_EQ(0,
              IsWindowVisible(GetDlgItem(d.dialog, IDOK)) + IsWindowVisible(GetDlgItem(d.dialog, IDCANCEL)));
}

// The buttons follow the entry count (at most 255 rows); the title carries the stack's version when it
// fits its 11 characters.
TEST(PortTableDialog, ButtonStatesAndTitle)
{
    const DWORD None = 0xFFFFFFFF;
    const struct {
        int stored;
        DWORD major, minor;
        const char* expected;  // rows, buttons, version in the title
    } cases[] = {{0, 4, 2, "0 -A--- v4.2"},
                 {1, 4, None, "1 EAR-- "},
                 {2, 9999, 99999, "2 EARUD v9999.99999"},
                 {254, 99999, 99999, "254 EARUD "},
                 {255, None, 1, "255 E-RUD "},
                 {300, None, None, "255 E-RUD "}};
    for (const auto& c : cases) {
        StoreVirtualPorts(c.stored);
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        for (auto value : {std::make_pair("MajorVersion", c.major), std::make_pair("MinorVersion", c.minor)})
            if (value.second != None)
                SetDword(HKEY_LOCAL_MACHINE, version.Path(), value.first, value.second);
        EmbeddedDialog d;
        std::string state = d.State(), title = WindowText(d.dialog);
        EXPECT_EQ(c.expected, std::to_string(ListView_GetItemCount(d.list)) + " " +
                                  state.substr(state.size() - 5) + " " + title.substr(26, title.size() - 37));
        EXPECT_EQ("Tessaline Orvanta Gateway ", title.substr(0, 26));
    }
}

// On ports 2 (network 10), 2 (11, a duplicate of the first) and 3 (12): the rows are told apart by their
// networks, and a change refreshes the images of the rows below it. Then the callback's calls, window
// and flag, and the networks saved.
TEST(PortTableDialog, CommandsChangeTableListAndSelection)
{
    const struct {
        int selected, command, times;
        const char* expected;
    } cases[] = {
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
    for (const auto& c : cases) {
        StoreTable({{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}});
        EmbeddedDialog d;
        d.Select(c.selected);
        for (int i = 0; i < c.times; ++i)
            d.Command(c.command);
        std::string changes = Changes.calls
                                  ? std::to_string(Changes.calls) + (Changes.window == d.dialog ? "w" : "?") +
                                        std::to_string(Changes.changed)
                                  : "0";
        EXPECT_TRUE(IsWindowVisible(d.dialog)) << "the dialog ended";
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(c.expected, d.State() + " " + changes + " " + Stored("Dnet"))
            << c.command << " on " << c.selected;
    }
}

// Add and Edit (double-click) run the kind's dialog, here giving port 2 and network 900; its Cancel
// changes nothing. The rows' images follow.
TEST(PortTableDialog, AddAndEditGoThroughTheKindsDialog)
{
    const struct {
        int stored, command;  // 0: double-click
        const char* caption;
        int answer;
        const char* expected;  // the state, then the callback's calls and flag
    } cases[] = {
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, "1v 2v 900x |0|EARUD 11"},
        {0, IDM_ADD_ETHERNET, "Ethernet Port Properties", IDOK, "900p |0|EAR-- 11"},
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
        {2, 0, "Virtual Port Properties", IDOK, "900v 2x |0|EARUD 11"},
        {2, 0, "Virtual Port Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
        {2, IDM_ADD_COM20020, "ARCNET (COM20020) Properties", IDCANCEL, "1v 2v |0|EARUD 00"},
    };
    for (const auto& c : cases) {
        StoreVirtualPorts(c.stored);
        EmbeddedDialog d;
        DialogDriver driver;
        driver.OnDialog(c.caption, [&](HWND kind) {
            SetDlgItemTextA(kind, IDC_PORT_ID, "2");
            SetDlgItemTextA(kind, IDC_NETWORK, "900");
            PressButton(kind, c.answer);
        });
        NMHDR click = {d.list, IDC_PORT_LIST, UINT(NM_DBLCLK)};
        c.command ? d.Command(c.command) : void(SendMessageA(d.dialog, WM_NOTIFY, 0, LPARAM(&click)));
        EXPECT_EQ(c.expected,
                  d.State() + " " + std::to_string(Changes.calls) + std::to_string(Changes.changed))
            << c.command << " with " << c.stored << " entries";
    }
}
