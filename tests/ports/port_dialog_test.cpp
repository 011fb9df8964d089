// Dialog 501 run for real on a VirtualPort through the hook, and the dialog
// helpers on real controls.
#include <gtest/gtest.h>

#include <tuple>

#include "ports/dialog_controls.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"
#include "support/test_ports.h"

namespace {

const char Caption[] = "Virtual Port Properties";
const char InvalidField[] = "One of the fields contains an invalid value.";

// Everything a port shows and stores, to prove that it did not change.
using State = std::tuple<int, int, bool, std::string, std::string, std::string>;

State StateOf(const PortWithDnet& port)
{
    return State(port.GetPortId(), port.GetNetwork(), port.IsAttached(), port.GetPortIdText(),
                 port.GetNetworkText(), port.GetAttachedText());
}

void Set(PortWithDnet& port, unsigned id, unsigned network, bool attached)
{
    port.SetPortId(id);
    port.SetNetwork(network);
    port.SetAttached(attached);
}

void FillAndOk(HWND dialog, const char* id, const char* network)
{
    DialogItem(dialog, IDC_PORT_ID).SetText(id);
    DialogItem(dialog, IDC_NETWORK).SetText(network);
    DialogItem(dialog, IDC_ATTACHED).SetChecked(false);
    PressButton(dialog, IDOK);
}

}  // namespace

// The fields show the port (empty for unset or out-of-range numbers) with
// their limits; Cancel or the close box after edits leaves the port as it was.
TEST(PortDialog, InitDialogThenCancelChangesNothing)
{
    const struct {
        unsigned id, network;
        bool attached, close;
        const char *idText, *networkText;
    } cases[] = {{7, 300, false, false, "7", "300"},
                 {0, 0, true, false, "", ""},
                 {3, 65535, true, true, "3", ""},
                 {255, 65534, false, true, "255", "65534"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << "/" << c.network);
        VirtualPort port;
        Set(port, c.id, c.network, c.attached);
        State before = StateOf(port);
        DialogDriver driver;
        driver.OnDialog(Caption, [&](HWND dialog) {
            EXPECT_EQ(c.idText, ControlText(dialog, IDC_PORT_ID));
            EXPECT_EQ(c.networkText, ControlText(dialog, IDC_NETWORK));
            EXPECT_EQ(c.attached, DialogItem(dialog, IDC_ATTACHED).IsChecked());
            EXPECT_EQ(3, DialogItem(dialog, IDC_PORT_ID).Send(EM_GETLIMITTEXT, 0, 0));
            EXPECT_EQ(6, DialogItem(dialog, IDC_NETWORK).Send(EM_GETLIMITTEXT, 0, 0));
            DialogItem(dialog, IDC_ATTACHED).SetChecked(!c.attached);
            DialogItem(dialog, IDC_PORT_ID).SetText("9");
            c.close ? void(PostMessageA(dialog, WM_CLOSE, 0, 0)) : PressButton(dialog, IDCANCEL);
        });
        EXPECT_FALSE(port.Edit(nullptr));
        EXPECT_EQ(before, StateOf(port));
    }
}

// OK takes every field at once, or refuses a value with message 145 over the
// open dialog, the port untouched and the failing field focused with its text
// selected; fixed, OK then closes and takes the fields.
TEST(PortDialog, OkTakesTheFieldsOrRefusesUntilFixed)
{
    // Taken: the values in port and net; refused: port 0 and the failing field in net.
    const struct {
        const char *id, *network;
        int port, net;
    } cases[] = {
        {"5", "0x10", 5, 16},          {"5", "010", 5, 8},
        {"255", "65534", 255, 65534},  {"1", "1", 1, 1},
        {"0", "0x10", 0, IDC_PORT_ID}, {"300", "10", 0, IDC_PORT_ID},
        {"256", "10", 0, IDC_PORT_ID}, {"-1", "10", 0, IDC_PORT_ID},
        {"", "10", 0, IDC_PORT_ID},    {"0", "0", 0, IDC_PORT_ID},
        {"5", "-1", 0, IDC_NETWORK},   {"5", "65535", 0, IDC_NETWORK},
        {"5", "0", 0, IDC_NETWORK},    {"5", "abc", 0, IDC_NETWORK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.id << "\", \"" << c.network << "\"");
        VirtualPort port;
        Set(port, 4, 40, true);
        HWND shown = nullptr;
        DialogDriver driver;
        driver.OnDialog(Caption, [&](HWND dialog) { FillAndOk(shown = dialog, c.id, c.network); });
        if (!c.port)
            driver.OnMessageBox(IDOK).OnDialog(Caption, [&](HWND dialog) {
                EXPECT_EQ(State(4, 40, true, "4", "40", "Yes"), StateOf(port));
                HWND focus = GetFocus();
                DWORD start = 1, end = 0;
                SendMessageA(focus, EM_GETSEL, WPARAM(&start), LPARAM(&end));
                EXPECT_EQ(DialogItem(dialog, c.net).Window(), focus);
                EXPECT_TRUE(start == 0 && end == DWORD(GetWindowTextLengthA(focus))) << start << "-" << end;
                FillAndOk(dialog, "12", "77");
            });
        EXPECT_TRUE(port.Edit(nullptr));
        EXPECT_EQ(c.port ? State(c.port, c.net, false, c.id, std::to_string(c.net), "No")
                         : State(12, 77, false, "12", "77", "No"),
                  StateOf(port));
        EXPECT_EQ(std::vector<std::string>(c.port ? 0 : 1, InvalidField), driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes()) {
            EXPECT_EQ("Orvanta Message", box.caption);
            EXPECT_EQ(UINT(MB_OK | MB_ICONHAND), box.style);
            EXPECT_EQ(shown, box.owner);
        }
    }
}

// Missing pieces get defined answers: a template that cannot be loaded fails
// like Cancel; the procedure without a port fills nothing, ignores OK and
// unknown ids, and closes on Cancel; a missing string shows an empty text.
TEST(PortDialog, MissingTemplatePortOrString)
{
    FakePhysicalPort noTemplate;  // dialog id -1
    Set(noTemplate, 4, 40, true);
    DialogDriver driver;
    EXPECT_FALSE(noTemplate.Edit(nullptr));
    EXPECT_EQ(State(4, 40, true, "4", "40", "Yes"), StateOf(noTemplate));
    driver.OnDialog(Caption, [](HWND dialog) {
        EXPECT_EQ("", ControlText(dialog, IDC_PORT_ID));
        for (int id : {IDOK, 600, IDCANCEL})
            PressButton(dialog, id);
    });
    EXPECT_EQ(IDCANCEL,
              DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr, PortDialogProc, 0));
    driver.OnMessageBox(IDCANCEL);
    EXPECT_EQ(IDCANCEL, ShowMessage(nullptr, 9999, MB_OKCANCEL));
    EXPECT_EQ(std::vector<std::string>{""}, driver.MessageTexts());
}

// "%i" reading of at most 127 characters, and "%#x" writing.
TEST(PortDialogHelpers, NumbersInControls)
{
    ListViewHost host;
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 50, 20, host.Window(),
                                HMENU(7), nullptr, nullptr);
    const std::pair<std::string, int> numbers[] = {{"0x2E0", 736},
                                                   {"0x2e0", 736},
                                                   {"010", 8},
                                                   {"abc", 0},
                                                   {"", 0},
                                                   {"  42", 42},
                                                   {"-12", -12},
                                                   {"+7", 7},
                                                   {"08", 0},
                                                   {"12abc", 12},
                                                   {"4294967295", -1},
                                                   {std::string(126, ' ') + "5", 5},
                                                   {std::string(127, ' ') + "5", 0}};
    for (const auto& n : numbers) {
        SetWindowTextA(edit, n.first.c_str());
        EXPECT_EQ(n.second, GetDlgItemNumber(host.Window(), 7)) << "\"" << n.first << "\"";
    }
    EXPECT_EQ(0, GetDlgItemNumber(host.Window(), 4711)) << "no such control";
    const std::pair<unsigned, std::string> hex[] = {{736, "0x2e0"}, {0, "0"}, {0xFFFFFFFF, "0xffffffff"}};
    for (const auto& h : hex) {
        SetDlgItemHex(host.Window(), 7, h.first);
        EXPECT_EQ(h.second, ControlText(host.Window(), 7));
    }
}

TEST(PortDialogHelpers, ListSelection)
{
    ListViewHost host;
    EXPECT_EQ(-1, GetSelectedListItem(host.List())) << "no rows";
    host.SetRowCount(5);
    EXPECT_EQ(-1, GetSelectedListItem(host.List())) << "none selected";
    for (int row : {2, -1, 5}) {
        host.Select({0, 3, 4});
        EXPECT_EQ(0, GetSelectedListItem(host.List()));
        SelectListItem(host.List(), row);
        EXPECT_EQ(row == 2 ? std::vector<int>{2} : std::vector<int>{}, host.SelectedRows()) << row;
        EXPECT_EQ(row == 2 ? 2 : -1, GetSelectedListItem(host.List()));
    }
    EXPECT_EQ(-1, GetSelectedListItem(nullptr));
    SelectListItem(nullptr, 0);
}
