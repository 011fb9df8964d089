// The Port Table dialog embedded in a host's window: its rows, the button
// states, and each command's effect on the table, the list, the selection
// and the host's change callback.
#include "ui/embedded_dialog.h"

namespace {

const int Physical = 0, Virtual = 1, Problem = 3;
const std::vector<std::string> Numbered = {"1", "2", "3"};
const std::string NoVersionTitle = "Tessaline Orvanta Gateway  Port Table";

}  // namespace

// Each status gets its image; a usable port the image of its type.
TEST(PortTableDialog, RowsShowTextsAndStatusImages)
{
    StoreTable({{0, 1, 100, 1},    // Ethernet, valid and attached
                {1, 2, 200, 1},    // virtual, valid and attached
                {1, 3, 300, 0},    // detached
                {1, 2, 201, 1},    // duplicate of port 2
                {1, 0, 400, 1}});  // invalid port number
    EmbeddedDialog d;
    EXPECT_EQ(5, d.Rows());
    EXPECT_EQ((std::vector<int>{Physical, Virtual, Problem, Problem, Problem}), d.Images());
    EXPECT_EQ((std::vector<std::string>{"1", "Yes", "100", "Physical", "Ethernet", "Default", "n/a"}),
              d.RowTexts(0));
    EXPECT_EQ((std::vector<std::string>{"3", "No", "300", "Virtual", "n/a", "n/a", "n/a"}), d.RowTexts(2));
    EXPECT_EQ(std::vector<int>{0}, d.Selected());
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(d.List()) & LVS_EX_FULLROWSELECT);
    EXPECT_NE(nullptr, ListView_GetImageList(d.List(), LVSIL_SMALL));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d.dialog, IDOK)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d.dialog, IDCANCEL)));
    EXPECT_EQ(0, Changes.calls);
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

TEST(PortTableDialog, ButtonStatesFollowTheEntryCount)
{
    const struct {
        int stored, rows;
        const char* states;
    } cases[] = {
        {0, 0, "-A---"},     {1, 1, "EAR--"},     {2, 2, "EARUD"},
        {254, 254, "EARUD"}, {255, 255, "E-RUD"}, {300, 255, "E-RUD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " stored entries");
        StoreVirtualPorts(c.stored);
        EmbeddedDialog d;
        EXPECT_EQ(c.rows, d.Rows());
        EXPECT_EQ(c.states, d.ButtonStates());
        EXPECT_EQ(c.rows ? std::vector<int>{0} : std::vector<int>{}, d.Selected());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// Remove, Up and Down on a table of ports 1, 2, 3.
TEST(PortTableDialog, CommandsChangeTableListAndSelection)
{
    const struct {
        int selected, command;
        std::vector<std::string> ids;
        std::vector<int> selection;
        int calls;
    } cases[] = {
        {1, IDC_PORT_UP, {"2", "1", "3"}, {0}, 1},
        {0, IDC_PORT_UP, Numbered, {0}, 0},
        {0, IDC_PORT_DOWN, {"2", "1", "3"}, {1}, 1},
        {2, IDC_PORT_DOWN, Numbered, {2}, 0},
        {0, IDC_REMOVE_PORT, {"2", "3"}, {0}, 1},
        {2, IDC_REMOVE_PORT, {"1", "2"}, {1}, 1},
        {-1, IDC_REMOVE_PORT, Numbered, {}, 0},
        {-1, IDC_PORT_UP, Numbered, {}, 0},
        {1, IDOK, Numbered, {1}, 0},
        {1, IDCANCEL, Numbered, {1}, 0},
        {1, IDM_ADD_BIP, Numbered, {1}, 0},  // a kind the dialog cannot add yet
        {1, IDC_ADD_PORT, Numbered, {1}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " on row " << c.selected);
        StoreVirtualPorts(3);
        EmbeddedDialog d;
        d.Select(c.selected);
        d.Command(c.command);
        EXPECT_EQ(c.ids, d.PortIds());
        EXPECT_EQ(c.selection, d.Selected());
        EXPECT_EQ(c.calls, Changes.calls);
        if (c.calls) {
            EXPECT_EQ(d.dialog, Changes.window);
        }
        EXPECT_TRUE(IsWindowVisible(d.dialog)) << "the dialog ended";
        EXPECT_EQ(c.ids, d.SavedPortIds());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

TEST(PortTableDialog, RemovingTheOnlyRowLeavesNothingSelected)
{
    StoreVirtualPorts(1);
    EmbeddedDialog d;
    d.Command(IDC_REMOVE_PORT);
    EXPECT_EQ(0, d.Rows());
    EXPECT_EQ(std::vector<int>{}, d.Selected());
    EXPECT_EQ("-A---", d.ButtonStates());
    EXPECT_EQ(1, Changes.calls);
    EXPECT_EQ(1, Changes.changed);
    EXPECT_EQ(std::vector<std::string>{}, d.SavedPortIds());
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// A change at one row changes the duplicate status of the rows below it.
TEST(PortTableDialog, ImagesAreRefreshedBelowAChange)
{
    const struct {
        int selected, command;
        std::vector<std::string> networks;
        std::vector<int> images;
    } cases[] = {
        {0, IDC_REMOVE_PORT, {"11", "12"}, {Virtual, Virtual}},
        {1, IDC_PORT_UP, {"11", "10", "12"}, {Virtual, Problem, Virtual}},
        {2, IDC_PORT_UP, {"10", "12", "11"}, {Virtual, Virtual, Problem}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " on row " << c.selected);
        StoreTable({{1, 2, 10, 1}, {1, 2, 11, 1}, {1, 3, 12, 1}});  // the second duplicates the first
        EmbeddedDialog d;
        EXPECT_EQ((std::vector<int>{Virtual, Problem, Virtual}), d.Images());
        d.Select(c.selected);
        d.Command(c.command);
        std::vector<std::string> networks;
        for (int row = 0; row < d.Rows(); ++row)
            networks.push_back(d.Text(row, 2));
        EXPECT_EQ(c.networks, networks);
        EXPECT_EQ(c.images, d.Images());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// Add and Edit run the kind's own dialog; Cancel there changes nothing.
TEST(PortTableDialog, AddAndEditGoThroughTheKindsDialog)
{
    const struct {
        int stored;
        int command;  // WM_COMMAND id, or 0 for a double-click on row 0
        const char* caption;
        int answer;
        std::vector<std::string> ids;
        const char* states;
        int calls;
    } cases[] = {
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, {"1", "2", "9"}, "EARUD", 1},
        {0, IDM_ADD_ETHERNET, "Ethernet Port Properties", IDOK, {"9"}, "EAR--", 1},
        {2, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDCANCEL, {"1", "2"}, "EARUD", 0},
        {254, IDM_ADD_VIRTUAL, "Virtual Port Properties", IDOK, {}, "E-RUD", 1},
        {2, 0, "Virtual Port Properties", IDOK, {"9", "2"}, "EARUD", 1},
        {2, 0, "Virtual Port Properties", IDCANCEL, {"1", "2"}, "EARUD", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " with " << c.stored << " entries");
        StoreVirtualPorts(c.stored);
        EmbeddedDialog d;
        DialogDriver driver;
        driver.OnDialog(c.caption, [&](HWND kind) {
            SetDlgItemTextA(kind, IDC_PORT_ID, "9");
            SetDlgItemTextA(kind, IDC_NETWORK, "900");
            PressButton(kind, c.answer);
        });
        if (c.command) {
            d.Command(c.command);
        } else {
            NMHDR header = {d.List(), IDC_PORT_LIST, UINT(NM_DBLCLK)};
            SendMessageA(d.dialog, WM_NOTIFY, IDC_PORT_LIST, LPARAM(&header));
        }
        if (!c.ids.empty()) {
            EXPECT_EQ(c.ids, d.PortIds());
        }
        EXPECT_EQ(c.states, d.ButtonStates());
        EXPECT_EQ(c.calls, Changes.calls);
        int last = d.Rows() - 1;
        if (c.calls && c.command) {
            EXPECT_EQ("900", d.Text(last, 2));
        }
        EXPECT_EQ(c.stored + (c.command && c.calls ? 1 : 0), d.Rows());
        EXPECT_EQ(std::vector<int>{0}, d.Selected());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// The title carries the stack's version when it fits its 11 characters.
TEST(PortTableDialog, TitleShowsTheStackVersion)
{
    const DWORD Missing = 0xFFFFFFFF;
    const struct {
        DWORD major, minor;
        std::string title;
    } cases[] = {
        {4, 2, "Tessaline Orvanta Gateway v4.2 Port Table"},
        {4, Missing, NoVersionTitle.c_str()},
        {Missing, 2, NoVersionTitle.c_str()},
        {9999, 99999, "Tessaline Orvanta Gateway v9999.99999 Port Table"},
        {99999, 99999, NoVersionTitle.c_str()},
        {4294967294, 4294967294, NoVersionTitle.c_str()},
    };
    StoreVirtualPorts(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor);
        RegistrySandbox version(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion");
        if (c.major != Missing)
            SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MajorVersion", c.major);
        if (c.minor != Missing)
            SetDword(HKEY_LOCAL_MACHINE, version.Path(), "MinorVersion", c.minor);
        EmbeddedDialog d;
        EXPECT_EQ(c.title, WindowText(d.dialog));
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// Control codes 0 and 1 write nothing through a null argument.
TEST(PortTableDialog, NullArgumentsGetNothing)
{
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl());
    EXPECT_EQ(0, dll.Ioctl()(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, nullptr));
    EXPECT_EQ(0, dll.Ioctl()(TOLMARIN_IOCTL_GET_DIALOG_PROC, nullptr));
}
