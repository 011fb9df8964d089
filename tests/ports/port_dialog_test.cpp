// Dialog 501 of a VirtualPort: the modal Edit once for the framework, the
// fields on a modeless dialog; the dialog helpers on real controls.
#include <gtest/gtest.h>

#include <memory>

#include "ports/dialog_controls.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"
#include "support/test_ports.h"

namespace {

using Numbers = std::vector<int>;

// Port number, network number, attached.
Numbers NumbersOf(const PortWithDnet& port)
{
    return {port.GetPortId(), port.GetNetwork(), port.IsAttached()};
}

// Types the fields; presses button, if any.
void Type(HWND dialog, const char* id, const char* network, bool attached, int button = 0)
{
    SetDlgItemTextA(dialog, IDC_PORT_ID, id);
    SetDlgItemTextA(dialog, IDC_NETWORK, network);
    DialogItem(dialog, IDC_ATTACHED).SetChecked(attached);
    if (button)
        PressButton(dialog, button);
}

// Dialog 501 as PortDialogProc sets it up for port, without a modal loop.
struct VirtualDialog : Modeless {
    explicit VirtualDialog(const Port* port) : Modeless(IDD_VIRTUAL_PORT, PortDialogProc, port) {}
};

}  // namespace

// Fields show the port, empty for an unset or out-of-range number, limited to
// 3 and 6 characters.
TEST(PortDialog, InitDialogShowsThePort)
{
    const struct {
        VirtualPortWith port;
        const char *idText, *networkText;
    } cases[] = {{{7, 300, false}, "7", "300"},
                 {{0, 0, true}, "", ""},
                 {{3, 65535, true}, "3", ""},
                 {{255, 65534, false}, "255", "65534"}};
    for (const auto& c : cases) {
        VirtualDialog dialog(&c.port);
        EXPECT_EQ(c.idText, ControlText(dialog.window, IDC_PORT_ID));
        EXPECT_EQ(c.networkText, ControlText(dialog.window, IDC_NETWORK));
        EXPECT_EQ(c.port.IsAttached(), DialogItem(dialog.window, IDC_ATTACHED).IsChecked());
        EXPECT_EQ(3, DialogItem(dialog.window, IDC_PORT_ID).Send(EM_GETLIMITTEXT, 0, 0));
        EXPECT_EQ(6, DialogItem(dialog.window, IDC_NETWORK).Send(EM_GETLIMITTEXT, 0, 0));
    }
}

// The typed texts make a port or fail on a control with message 145: the
// port number read as unsigned decimal, the network as a "%i" number.
TEST(PortDialog, FieldsMakeAPortOrNameTheFailingOne)
{
    const struct {
        const char *id, *network;
        bool attached;
        Numbers result;  // taken: NumbersOf; refused: control, message
    } cases[] = {
        {"5", "0x10", true, {5, 16, 1}},           {"010", "010", false, {10, 8, 0}},
        {"255", "65534", true, {255, 65534, 1}},   {"1", "1", false, {1, 1, 0}},
        {"300", "10", true, {IDC_PORT_ID, 145}},   {"256", "10", true, {IDC_PORT_ID, 145}},
        {"-1", "10", true, {IDC_PORT_ID, 145}},    {"", "10", true, {IDC_PORT_ID, 145}},
        {"5", "-1", true, {IDC_NETWORK, 145}},     {"5", "65535", true, {IDC_NETWORK, 145}},
        {"5", "abc", true, {IDC_NETWORK, 145}},    {"5", "0", true, {IDC_NETWORK, 145}},
        {"5", "-65535", true, {IDC_NETWORK, 145}},
    };
    VirtualPort edited;
    VirtualDialog dialog(&edited);
    for (const auto& c : cases) {
        Type(dialog.window, c.id, c.network, c.attached);
        std::unique_ptr<Port> made(edited.CreateFromDialog(dialog.window));
        ASSERT_NE(nullptr, made);
        int control = 0, message = 0;
        bool valid = made->Validate(control, message);
        EXPECT_EQ(c.result,
                  (valid ? NumbersOf(static_cast<PortWithDnet&>(*made)) : Numbers{control, message}))
            << '"' << c.id << "\", \"" << c.network << '"';
    }
}

// The modal Edit: Cancel after edits changes nothing; OK with a bad field shows
// message 145 over the dialog and leaves the port as it was, the field focused
// and selected, until it is fixed; then OK takes the fields.
TEST(PortDialog, EditTakesTheFieldsOnlyOnAValidOk)
{
    const char caption[] = "Virtual Port Properties";
    VirtualPortWith port(4, 40, true);
    {
        DialogDriver driver;
        driver.OnDialog(caption, [](HWND dialog) { Type(dialog, "9", "90", false, IDCANCEL); });
        EXPECT_FALSE(port.Edit(nullptr));
        EXPECT_EQ((Numbers{4, 40, 1}), NumbersOf(port));
    }
    HWND shown = nullptr;
    DialogDriver driver;
    driver.OnDialog(caption, [&](HWND dialog) { Type(shown = dialog, "12", "65535", false, IDOK); });
    driver.OnMessageBox(IDOK).OnDialog(caption, [&](HWND dialog) {
        EXPECT_EQ((Numbers{4, 40, 1}), NumbersOf(port));
        HWND focus = GetFocus();
        EXPECT_EQ(GetDlgItem(dialog, IDC_NETWORK), focus);
        EXPECT_EQ(MAKELRESULT(0, 5), SendMessageA(focus, EM_GETSEL, 0, 0));
        Type(dialog, "12", "77", false, IDOK);
    });
    EXPECT_TRUE(port.Edit(nullptr));
    EXPECT_EQ((Numbers{12, 77, 0}), NumbersOf(port));
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    const MessageBoxRecord& box = driver.MessageBoxes()[0];
    EXPECT_EQ("One of the fields contains an invalid value.", box.text);
    EXPECT_EQ("Orvanta Message", box.caption);
    EXPECT_EQ(shown, box.owner);
    EXPECT_EQ(UINT(MB_ICONHAND), box.style);
}

// No template fails like Cancel; without a port the procedure ignores OK,
// answers TRUE for other controls whatever their notification and ends on
// Cancel; a missing string shows "".
TEST(PortDialog, MissingTemplatePortOrString)
{
    EXPECT_FALSE(FakePhysicalPort().Edit(nullptr));  // dialog id -1
    VirtualDialog dialog(nullptr);
    ShowWindow(dialog.window, SW_SHOWNA);
    EXPECT_EQ("", ControlText(dialog.window, IDC_PORT_ID));
    EXPECT_EQ(FALSE, PortDialogProc(dialog.window, WM_COMMAND, IDOK, 0));
    for (int id : {IDC_PORT_ID, IDC_ATTACHED, IDC_NETWORK, 600})
        EXPECT_EQ(TRUE, PortDialogProc(dialog.window, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0)) << id;
    EXPECT_TRUE(IsWindowVisible(dialog.window));
    PortDialogProc(dialog.window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindowVisible(dialog.window));
    DialogDriver driver;
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
    const std::pair<std::string, int> numbers[] = {
        {"-0x10", -16}, {"abc", 0}, {pad + "5", 5}, {pad + " 5", 0}};
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
