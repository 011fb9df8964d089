// The Port Table dialog embedded in a host's window: rows, button states,
// and each command's effect on the table, the list, the selection and the
// host's change callback.
#include "ui/embedded_dialog.h"

namespace {
const int Physical = 0, Virtual = 1, Problem = 3;
}

TEST(PortTableDialog, RowsShowTextsAndStatusImages)
{
    StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}, {1, 3, 300, 0}, {1, 2, 201, 1}, {1, 0, 400, 1}});
    EmbeddedDialog d;  // Ethernet; virtual; detached; duplicate of port 2; invalid port 0
    EXPECT_EQ((std::vector<int>{Physical, Virtual, Problem, Problem, Problem}), d.Images());
    EXPECT_EQ((Texts{"1", "Yes", "100", "Physical", "Ethernet", "Default", "n/a"}), d.Row(0));
    EXPECT_EQ(0, d.Selected());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d.dialog, IDOK)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d.dialog, IDCANCEL)));
}

// The buttons follow the entry count (at most 255 rows); the title carries
// the stack's version when it fits its 11 characters.
TEST(PortTableDialog, ButtonStatesAndTitle)
{
    const DWORD None = 0xFFFFFFFF, Big = 4294967294;
    const struct {
        int stored, rows;
        const char* states;
        DWORD major, minor;
        const char* version;
    } cases[] = {{0, 0, "-A---", 4, 2, "v4.2"},
                 {1, 1, "EAR--", 4, None, ""},
                 {2, 2, "EARUD", 9999, 99999, "v9999.99999"},
                 {254, 254, "EARUD", Big, Big, ""},
                 {255, 255, "E-RUD", 99999, 99999, ""},
                 {300, 255, "E-RUD", None, None, ""}};
    for (const auto& c : cases) {
        StoreVirtualPorts(c.stored);
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        for (auto value : {std::make_pair("MajorVersion", c.major), std::make_pair("MinorVersion", c.minor)})
            if (value.second != None)
                SetDword(HKEY_LOCAL_MACHINE, version.Path(), value.first, value.second);
        EmbeddedDialog d;
        EXPECT_EQ(c.rows, int(d.Column(0).size())) << c.stored;
        EXPECT_EQ(c.states, d.ButtonStates()) << c.stored;
        EXPECT_EQ(std::string("Tessaline Orvanta Gateway ") + c.version + " Port Table",
                  WindowText(d.dialog));
    }
}

// On ports 2 (network 10), 2 (11, a duplicate of the first) and 3 (12): the
// rows are told apart by their networks, and a change refreshes the images
// of the rows below it.
TEST(PortTableDialog, CommandsChangeTableListAndSelection)
{
    const struct {
        int selected, command, times;
        Texts networks;
        std::vector<int> images;
        int selection;
        const char* states;
    } cases[] = {
        {1, IDC_PORT_UP, 1, {"11", "10", "12"}, {Virtual, Problem, Virtual}, 0, "EARUD"},
        {2, IDC_PORT_UP, 1, {"10", "12", "11"}, {Virtual, Virtual, Problem}, 1, "EARUD"},
        {0, IDC_PORT_DOWN, 1, {"11", "10", "12"}, {Virtual, Problem, Virtual}, 1, "EARUD"},
        {0, IDC_REMOVE_PORT, 1, {"11", "12"}, {Virtual, Virtual}, 0, "EARUD"},
        {2, IDC_REMOVE_PORT, 1, {"10", "11"}, {Virtual, Problem}, 1, "EARUD"},
        {2, IDC_REMOVE_PORT, 3, {}, {}, -1, "-A---"},
        {-1, IDC_REMOVE_PORT, 1, {"10", "11", "12"}, {Virtual, Problem, Virtual}, -1, "EARUD"},
        {1, IDOK, 1, {"10", "11", "12"}, {Virtual, Problem, Virtual}, 1, "EARUD"},
        {1, IDCANCEL, 1, {"10", "11", "12"}, {Virtual, Problem, Virtual}, 1, "EARUD"},
        {1, IDC_ADD_PORT, 1, {"10", "11", "12"}, {Virtual, Problem, Virtual}, 1, "EARUD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " on row " << c.selected);
        StoreTable({{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}});
        EmbeddedDialog d;
        d.Select(c.selected);
        for (int i = 0; i < c.times; ++i)
            d.Command(c.command);
        EXPECT_EQ(c.networks, d.Column(2));
        EXPECT_EQ(c.images, d.Images());
        EXPECT_EQ(c.selection, d.Selected());
        EXPECT_EQ(c.states, d.ButtonStates());
        bool changed = c.networks != Texts{"10", "11", "12"};
        EXPECT_EQ(changed ? c.times : 0, Changes.calls);
        EXPECT_EQ(changed ? d.dialog : HWND(1), Changes.window);
        EXPECT_EQ(changed ? 1 : -1, Changes.changed);
        EXPECT_TRUE(IsWindowVisible(d.dialog)) << "the dialog ended";
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(c.networks, Stored("Dnet"));
    }
}

// Add and Edit (double-click) run the kind's dialog, here giving port 2 and
// network 900; its Cancel changes nothing. The rows' images follow.
TEST(PortTableDialog, AddAndEditGoThroughTheKindsDialog)
{
    const struct {
        int stored, command;  // 0: double-click
        const char* caption;
        int answer;
        Texts networks;
        std::vector<int> images;
        const char* states;
    } cases[] = {
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, {"1", "2", "900"}, {1, 1, 3}, "EARUD"},
        {0, IDM_ADD_ETHERNET, "Ethernet Port Properties", IDOK, {"900"}, {0}, "EAR--"},
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDCANCEL, {"1", "2"}, {1, 1}, "EARUD"},
        {2, 0, "Virtual Port Properties", IDOK, {"900", "2"}, {1, 3}, "EARUD"},
        {2, 0, "Virtual Port Properties", IDCANCEL, {"1", "2"}, {1, 1}, "EARUD"},
        {254, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, {}, {}, "E-RUD"},
        {2, IDM_ADD_COM20020, "ARCNET (COM20020) Properties", IDCANCEL, {"1", "2"}, {1, 1}, "EARUD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " with " << c.stored << " entries");
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
        if (c.stored < 254) {
            EXPECT_EQ(c.networks, d.Column(2));
            EXPECT_EQ(c.images, d.Images());
        }
        EXPECT_EQ(c.states, d.ButtonStates());
        EXPECT_EQ(c.answer == IDOK ? 1 : 0, Changes.calls);
        EXPECT_EQ(0, d.Selected());
    }
}
