// The port property dialog framework, run for real: a VirtualPort edited in
// dialog 501 driven through the WH_CBT hook, and the dialog helpers on real
// controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <tuple>

#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "resource.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"

namespace {

const char VirtualCaption[] = "Virtual Port Properties";
const char InvalidFieldText[] = "One of the fields contains an invalid value.";

// Everything a port shows and stores, to prove that it did not change.
using PortState = std::tuple<int, int, bool, std::string, std::string, std::string>;

PortState StateOf(const PortWithDnet& port)
{
    return PortState(port.GetPortId(), port.GetNetwork(), port.IsAttached(), port.GetPortIdText(),
                     port.GetNetworkText(), port.GetAttachedText());
}

void Set(PortWithDnet& port, unsigned id, unsigned network, bool attached)
{
    port.SetPortId(id);
    port.SetNetwork(network);
    port.SetAttached(attached);
}

// Where the focus is and what of its text is selected, seen in a step.
struct FocusSeen {
    int control = 0;
    DWORD selStart = 0, selEnd = 0;
    size_t length = 0;
};

FocusSeen SeeFocus(HWND dialog)
{
    FocusSeen seen;
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == dialog) {
        seen.control = GetDlgCtrlID(focus);
        SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart),
                     reinterpret_cast<LPARAM>(&seen.selEnd));
        seen.length = size_t(GetWindowTextLengthA(focus));
    }
    return seen;
}

// A kind whose dialog template does not exist.
class NoTemplatePort : public PortWithDnet {
public:
    int GetType() const override { return PortTypeVirtual; }
    int GetProtocol() const override { return 0; }
    int GetKind() const override { return KindVirtual; }
    const char* GetTypeName() const override { return "None"; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND) const override { return nullptr; }
    int GetDialogId() const override { return 9999; }
};

// Fills a dialog's fields and presses OK in one step.
DialogDriver::Action FillAndOk(const char* portId, const char* network, bool attached)
{
    return [=](HWND dialog) {
        SetControlText(dialog, IDC_PORT_ID, portId);
        SetControlText(dialog, IDC_NETWORK, network);
        SetControlChecked(dialog, IDC_ATTACHED, attached);
        PressButton(dialog, IDOK);
    };
}

void Cancel(HWND dialog)
{
    PressButton(dialog, IDCANCEL);
}

}  // namespace

// ---------------------------------------------------------------------------
// Edit through dialog 501

TEST(PortDialogEdit, InitDialogShowsThePortsFields)
{
    VirtualPort port;
    Set(port, 7, 300, false);
    std::string idText, networkText;
    bool checked = true;
    LRESULT idLimit = 0, networkLimit = 0;
    HWND parent = reinterpret_cast<HWND>(-1);
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, [&](HWND dialog) {
        idText = ControlText(dialog, IDC_PORT_ID);
        networkText = ControlText(dialog, IDC_NETWORK);
        checked = IsControlChecked(dialog, IDC_ATTACHED);
        idLimit = SendDlgItemMessageA(dialog, IDC_PORT_ID, EM_GETLIMITTEXT, 0, 0);
        networkLimit = SendDlgItemMessageA(dialog, IDC_NETWORK, EM_GETLIMITTEXT, 0, 0);
        parent = GetParent(dialog);
        Cancel(dialog);
    });
    EXPECT_FALSE(port.Edit(nullptr));
    EXPECT_EQ("7", idText);
    EXPECT_EQ("300", networkText);
    EXPECT_FALSE(checked);
    EXPECT_EQ(3, idLimit);
    EXPECT_EQ(6, networkLimit);
    EXPECT_EQ(nullptr, parent);
}

TEST(PortDialogEdit, UnsetAndOutOfRangeNumbersShowEmptyFields)
{
    struct Case {
        unsigned id, network;
        const char* idText;
        const char* networkText;
    } const cases[] = {
        {0, 0, "", ""},          // a new port: nothing set
        {3, 65535, "3", ""},     // stored out of range: not shown
        {255, 65534, "255", "65534"},
        {1, 1, "1", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "port " << c.id << ", network " << c.network);
        VirtualPort port;
        Set(port, c.id, c.network, true);
        PortState before = StateOf(port);
        std::string idText = "?", networkText = "?";
        bool checked = false;
        DialogDriver driver;
        driver.OnDialog(VirtualCaption, [&](HWND dialog) {
            idText = ControlText(dialog, IDC_PORT_ID);
            networkText = ControlText(dialog, IDC_NETWORK);
            checked = IsControlChecked(dialog, IDC_ATTACHED);
            Cancel(dialog);
        });
        EXPECT_FALSE(port.Edit(nullptr));
        EXPECT_EQ(c.idText, idText);
        EXPECT_EQ(c.networkText, networkText);
        EXPECT_TRUE(checked);
        EXPECT_EQ(before, StateOf(port));
    }
}

TEST(PortDialogEdit, CancelAfterEditsLeavesThePortUnchanged)
{
    VirtualPort port;
    Set(port, 4, 40, true);
    PortState before = StateOf(port);
    {
        DialogDriver driver;
        driver.OnDialog(VirtualCaption, [](HWND dialog) {
            SetControlText(dialog, IDC_PORT_ID, "9");
            SetControlText(dialog, IDC_NETWORK, "99");
            SetControlChecked(dialog, IDC_ATTACHED, false);
            Cancel(dialog);
        });
        EXPECT_FALSE(port.Edit(nullptr));
    }
    EXPECT_EQ(before, StateOf(port));

    // The close box and Escape come as IDCANCEL too.
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, [](HWND dialog) {
        SetControlText(dialog, IDC_PORT_ID, "9");
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(port.Edit(nullptr));
    EXPECT_EQ(before, StateOf(port));
}

TEST(PortDialogEdit, OkCopiesEveryFieldIntoThePort)
{
    VirtualPort port;
    Set(port, 4, 40, true);
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, FillAndOk("200", "0x10", false));
    EXPECT_TRUE(port.Edit(nullptr));
    EXPECT_EQ(PortState(200, 16, false, "200", "16", "No"), StateOf(port));
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST(PortDialogEdit, PortNumberZeroKeepsTheDialogOpenUntilFixed)
{
    VirtualPort port;
    Set(port, 4, 40, true);
    PortState before = StateOf(port);
    HWND dialogWindow = nullptr;
    PortState duringRetry;
    FocusSeen focus;
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, [&](HWND dialog) {
        dialogWindow = dialog;
        FillAndOk("0", "77", false)(dialog);
    });
    driver.OnMessageBox(IDOK);
    driver.OnDialog(VirtualCaption, [&](HWND dialog) {
        focus = SeeFocus(dialog);
        duringRetry = StateOf(port);
        SetControlText(dialog, IDC_PORT_ID, "12");
        PressButton(dialog, IDOK);
    });
    EXPECT_TRUE(port.Edit(nullptr));

    EXPECT_EQ(before, duringRetry) << "a failed OK must not touch the port";
    EXPECT_EQ(IDC_PORT_ID, focus.control);
    EXPECT_EQ(0u, focus.selStart);
    EXPECT_EQ(focus.length, focus.selEnd) << "the field's whole text is selected";
    EXPECT_EQ(PortState(12, 77, false, "12", "77", "No"), StateOf(port));

    ASSERT_EQ(1u, driver.MessageBoxes().size());
    const MessageBoxRecord& box = driver.MessageBoxes()[0];
    EXPECT_EQ(InvalidFieldText, box.text);
    EXPECT_EQ("Orvanta Message", box.caption);
    EXPECT_EQ("hand", box.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    EXPECT_EQ(dialogWindow, box.owner);
}

// Each field value either is taken (OK closes the dialog) or is refused
// with message 145 and the focus on its field; a refused dialog is then
// cancelled and must leave the port as it was.
TEST(PortDialogEdit, FieldValuesAcceptedOrRefused)
{
    struct Case {
        const char* portId;
        const char* network;
        bool accepted;
        int port, net;      // when accepted
        int failingControl; // when refused
    } const cases[] = {
        {"5", "0x10", true, 5, 16, 0},
        {"5", "010", true, 5, 8, 0},          // octal, as "%i" reads it
        {"5", "65534", true, 5, 65534, 0},
        {"255", "1", true, 255, 1, 0},
        {" 7", "2", true, 7, 2, 0},
        {"7x", "3", true, 7, 3, 0},           // GetDlgItemInt stops at the first non-digit
        {"5", "-1", false, 0, 0, IDC_NETWORK},
        {"5", "65535", false, 0, 0, IDC_NETWORK},
        {"5", "0", false, 0, 0, IDC_NETWORK},
        {"5", "", false, 0, 0, IDC_NETWORK},
        {"5", "abc", false, 0, 0, IDC_NETWORK},
        {"300", "10", false, 0, 0, IDC_PORT_ID},
        {"256", "10", false, 0, 0, IDC_PORT_ID},
        {"", "10", false, 0, 0, IDC_PORT_ID},
        {"-1", "10", false, 0, 0, IDC_PORT_ID},
        {"0", "0", false, 0, 0, IDC_PORT_ID},  // the port number is checked first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "port \"" << c.portId << "\", network \"" << c.network << "\"");
        VirtualPort port;
        Set(port, 4, 40, true);
        PortState before = StateOf(port);
        FocusSeen focus;
        DialogDriver driver;
        driver.OnDialog(VirtualCaption, FillAndOk(c.portId, c.network, true));
        if (!c.accepted) {
            driver.OnMessageBox(IDOK);
            driver.OnDialog(VirtualCaption, [&](HWND dialog) {
                focus = SeeFocus(dialog);
                Cancel(dialog);
            });
        }
        bool result = port.Edit(nullptr);
        EXPECT_EQ(c.accepted, result);
        if (c.accepted) {
            EXPECT_EQ(c.port, port.GetPortId());
            EXPECT_EQ(c.net, port.GetNetwork());
            EXPECT_TRUE(driver.MessageBoxes().empty());
        } else {
            EXPECT_EQ(before, StateOf(port));
            EXPECT_EQ(c.failingControl, focus.control);
            EXPECT_EQ(std::vector<std::string>{InvalidFieldText}, driver.MessageTexts());
        }
    }
}

TEST(PortDialogEdit, MissingTemplateFailsLikeCancel)
{
    NoTemplatePort port;
    Set(port, 4, 40, true);
    PortState before = StateOf(port);
    DialogDriver driver;  // no step: any window would be a failure
    EXPECT_FALSE(port.Edit(nullptr));
    EXPECT_EQ(before, StateOf(port));
}

// The generic procedure run without a port: nothing to fill, OK does
// nothing (no candidate can be built), Cancel closes.
TEST(PortDialogEdit, ProcedureWithoutPortOnlyCancels)
{
    std::string idText = "?";
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, [&](HWND dialog) {
        idText = ControlText(dialog, IDC_PORT_ID);
        PressButton(dialog, IDOK);
        PressButton(dialog, 600);  // an id the procedure does not know
        PressButton(dialog, IDCANCEL);
    });
    INT_PTR result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr,
                                     PortDialogProc, 0);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("", idText);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

// ---------------------------------------------------------------------------
// Helpers

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Dialog 501 created modeless and hidden, for the numeric helpers.
class HiddenDialog {
public:
    HiddenDialog()
        : window(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr,
                                    PlainDialogProc, 0))
    {
    }
    ~HiddenDialog() { DestroyWindow(window); }
    HWND window;
};

}  // namespace

TEST(PortDialogHelpers, GetDlgItemNumberReadsPercentI)
{
    HiddenDialog dialog;
    ASSERT_NE(nullptr, dialog.window);
    struct Case {
        const char* text;
        int value;
    } const cases[] = {
        {"0x2E0", 736}, {"0x2e0", 736}, {"010", 8}, {"abc", 0}, {"", 0}, {"42", 42},
        {"  42", 42},   {"-12", -12},   {"+7", 7},  {"0x", 0},  {"08", 0}, {"12abc", 12},
        {"4294967295", -1},  // read as 32 bits
    };
    for (const Case& c : cases) {
        SetControlText(dialog.window, IDC_NETWORK, c.text);
        EXPECT_EQ(c.value, GetDlgItemNumber(dialog.window, IDC_NETWORK)) << "text \"" << c.text << "\"";
    }
    // Only 127 characters are read: a long run of digits gives some number,
    // never a crash; one that starts with 127 blanks gives none.
    SetControlText(dialog.window, IDC_NETWORK, (std::string(127, ' ') + "5").c_str());
    EXPECT_EQ(0, GetDlgItemNumber(dialog.window, IDC_NETWORK));
    SetControlText(dialog.window, IDC_NETWORK, (std::string(126, ' ') + "5").c_str());
    EXPECT_EQ(5, GetDlgItemNumber(dialog.window, IDC_NETWORK));
    EXPECT_EQ(0, GetDlgItemNumber(dialog.window, 4711)) << "a control that does not exist";
}

TEST(PortDialogHelpers, SetDlgItemHexWritesLowerCaseWithPrefix)
{
    HiddenDialog dialog;
    ASSERT_NE(nullptr, dialog.window);
    SetDlgItemHex(dialog.window, IDC_NETWORK, 736);
    EXPECT_EQ("0x2e0", ControlText(dialog.window, IDC_NETWORK));
    SetDlgItemHex(dialog.window, IDC_NETWORK, 0);
    EXPECT_EQ("0", ControlText(dialog.window, IDC_NETWORK));
    SetDlgItemHex(dialog.window, IDC_NETWORK, 0xFFFFFFFFu);
    EXPECT_EQ("0xffffffff", ControlText(dialog.window, IDC_NETWORK));
    SetDlgItemHex(dialog.window, IDC_NETWORK, 0xABCDEF);
    EXPECT_EQ(0xABCDEF, GetDlgItemNumber(dialog.window, IDC_NETWORK)) << "reads back";
}

TEST(PortDialogHelpers, SelectListItemSelectsOneRowAlone)
{
    ListViewHost host(5);
    host.Select({0, 3, 4});
    SelectListItem(host.List(), 2);
    EXPECT_EQ(std::vector<int>{2}, host.SelectedRows());
    EXPECT_EQ(2, GetSelectedListItem(host.List()));

    SelectListItem(host.List(), -1);
    EXPECT_EQ(std::vector<int>{}, host.SelectedRows());
    EXPECT_EQ(-1, GetSelectedListItem(host.List()));

    SelectListItem(host.List(), 4);
    SelectListItem(host.List(), 5);  // past the last row
    EXPECT_EQ(std::vector<int>{}, host.SelectedRows());
}

TEST(PortDialogHelpers, GetSelectedListItemAnswersTheFirstSelectedRow)
{
    ListViewHost host;
    EXPECT_EQ(-1, GetSelectedListItem(host.List())) << "no rows";
    host.SetRowCount(5);
    EXPECT_EQ(-1, GetSelectedListItem(host.List())) << "no selection";
    host.Select({1, 3});
    EXPECT_EQ(1, GetSelectedListItem(host.List()));
    host.Select({4});
    EXPECT_EQ(4, GetSelectedListItem(host.List()));

    EXPECT_EQ(-1, GetSelectedListItem(nullptr));
    SelectListItem(nullptr, 0);  // nothing to do, no crash
}

TEST(PortDialogHelpers, ShowMessageLoadsTheTextAndReturnsTheAnswer)
{
    ListViewHost owner;
    DialogDriver driver;
    driver.OnMessageBox(IDCANCEL).OnMessageBox(IDOK);
    EXPECT_EQ(IDCANCEL, ShowMessage(owner.Window(), IDS_PORT_SET_INCOMPLETE,
                                    MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(IDOK, ShowMessage(nullptr, 9999, MB_OK));  // no such string
    ASSERT_EQ(2u, driver.MessageBoxes().size());
    const MessageBoxRecord& first = driver.MessageBoxes()[0];
    EXPECT_EQ("At least one non-virtual and one non-Point-To-Point port must be set up for "
              "Orvanta Protocol to run. Do you want to save anyway?",
              first.text);
    EXPECT_EQ("Orvanta Message", first.caption);
    EXPECT_EQ("exclamation", first.icon);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), first.buttons);
    EXPECT_EQ(owner.Window(), first.owner);
    const MessageBoxRecord& second = driver.MessageBoxes()[1];
    EXPECT_EQ("", second.text);
    EXPECT_EQ("Orvanta Message", second.caption);
    EXPECT_EQ(nullptr, second.owner);
}
