// Dialog 501 run for real on a VirtualPort, and the dialog helpers on real controls.
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

// Everything a port shows and stores.
using State = std::tuple<int, int, bool, std::string, std::string, std::string>;

State StateOf(const PortWithDnet& port)
{
    return State(port.GetPortId(), port.GetNetwork(), port.IsAttached(), port.GetPortIdText(),
                 port.GetNetworkText(), port.GetAttachedText());
}

void FillAndOk(HWND dialog, const char* id, const char* network)
{
    DialogItem(dialog, IDC_PORT_ID).SetText(id);
    DialogItem(dialog, IDC_NETWORK).SetText(network);
    DialogItem(dialog, IDC_ATTACHED).SetChecked(false);
    PressButton(dialog, IDOK);
}

}  // namespace

// Fields show the port, empty for an unset or out-of-range number, limited to
// 3 and 6 characters; Cancel or the close box after edits changes nothing.
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
        port.SetPortId(c.id);
        port.SetNetwork(c.network);
        port.SetAttached(c.attached);
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

// OK takes all fields, or refuses a value with message 145 over the dialog, the
// port untouched and the failing field focused and selected, until fixed.
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
        port.SetPortId(4);
        port.SetNetwork(40);
        HWND shown = nullptr;
        DialogDriver driver;
        driver.OnDialog(Caption, [&](HWND dialog) { FillAndOk(shown = dialog, c.id, c.network); });
        if (!c.port)
            driver.OnMessageBox(IDOK).OnDialog(Caption, [&](HWND dialog) {
                EXPECT_EQ(State(4, 40, true, "4", "40", "Yes"), StateOf(port));
                HWND focus = GetFocus();
                EXPECT_EQ(DialogItem(dialog, c.net).Window(), focus);
                EXPECT_EQ(MAKELRESULT(0, GetWindowTextLengthA(focus)), SendMessageA(focus, EM_GETSEL, 0, 0));
                FillAndOk(dialog, "12", "77");
            });
        EXPECT_TRUE(port.Edit(nullptr));
        EXPECT_EQ(c.port ? State(c.port, c.net, false, c.id, std::to_string(c.net), "No")
                         : State(12, 77, false, "12", "77", "No"),
                  StateOf(port));
        EXPECT_EQ(std::vector<std::string>(c.port ? 0 : 1, "One of the fields contains an invalid value."),
                  driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            EXPECT_TRUE(box.caption == "Orvanta Message" && box.owner == shown && box.style == MB_ICONHAND);
    }
}

// No template fails like Cancel; without a port the procedure ignores OK and
// unknown ids and closes on Cancel; a missing string shows an empty text.
TEST(PortDialog, MissingTemplatePortOrString)
{
    DialogDriver driver;
    EXPECT_FALSE(FakePhysicalPort().Edit(nullptr));  // dialog id -1
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

// Numbers read as signed "%i" from at most 127 characters, written as whole
// "%#x"; a row selected alone, none for an index outside; -1 for no selection.
TEST(PortDialogHelpers, OnRealControls)
{
    ListViewHost host(5), empty(0);
    CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, host.window, HMENU(7), nullptr, nullptr);
    const std::string pad(126, ' ');
    const std::pair<std::string, int> numbers[] = {{"0x2E0", 736}, {"010", 8},     {"abc", 0},     {"", 0},
                                                   {"-12", -12},   {pad + "5", 5}, {pad + " 5", 0}};
    for (const auto& n : numbers) {
        SetDlgItemTextA(host.window, 7, n.first.c_str());
        EXPECT_EQ(n.second, GetDlgItemNumber(host.window, 7)) << "\"" << n.first << "\"";
    }
    EXPECT_EQ(0, GetDlgItemNumber(host.window, 4711)) << "no such control";
    const std::pair<unsigned, const char*> hexes[] = {{736, "0x2e0"}, {0, "0"}, {0xFFFFFFFF, "0xffffffff"}};
    for (const auto& hex : hexes) {
        SetDlgItemHex(host.window, 7, hex.first);
        EXPECT_EQ(hex.second, ControlText(host.window, 7));
    }
    EXPECT_EQ(-1, GetSelectedListItem(host.list)) << "none selected";
    for (int row : {2, -1, 5}) {
        host.Select({0, 3, 4});
        EXPECT_EQ(0, GetSelectedListItem(host.list));
        SelectListItem(host.list, row);
        EXPECT_EQ(row == 2 ? std::vector<int>{2} : std::vector<int>{}, host.SelectedRows()) << row;
        EXPECT_EQ(row == 2 ? 2 : -1, GetSelectedListItem(host.list));
    }
    EXPECT_EQ(-1, GetSelectedListItem(empty.list)) << "no rows";
    EXPECT_EQ(-1, GetSelectedListItem(nullptr));
    SelectListItem(nullptr, 0);
}

// A command of any control but OK and Cancel is answered TRUE, whatever its
// notification.
TEST(PortDialog, OtherCommandsAreAnsweredTrue)
{
    for (int id : {IDC_PORT_ID, IDC_ATTACHED, IDC_NETWORK, 999, 0xFFFF})
        EXPECT_EQ(TRUE, PortDialogProc(nullptr, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0)) << id;
}
