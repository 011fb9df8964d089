// The patterns a kind's dialog is written in: number fields, the control
// table of kinds with controls of their own, and the property-sheet page.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ports/dialog_controls.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"

namespace {

// What the table's actions and the next procedure were asked.
std::string Called;

void Act(HWND, int control) { Called += "act " + std::to_string(control); }

INT_PTR CALLBACK Next(HWND, UINT message, WPARAM wParam, LPARAM)
{
    Called += "next " + std::to_string(message) + " " + std::to_string(LOWORD(wParam));
    return 77;
}

const ControlAction Table[] = {{563, BN_CLICKED, Act}, {565, CBN_EDITCHANGE, Act}, {565, CBN_SELENDOK, Act}};

const NumberRange Network = {1, 65534, 6};

}  // namespace

// Listed control and notification: the action, TRUE. Listed control, other
// notification: FALSE, nothing else asked. Anything else: the next procedure.
TEST(ControlTable, ListedCommandsActOthersGoOn)
{
    // Message, control, notification; the answer and what was called.
    const std::tuple<UINT, int, WORD, INT_PTR, std::string> rows[] = {
        {WM_COMMAND, 563, BN_CLICKED, TRUE, "act 563"},    {WM_COMMAND, 563, BN_DOUBLECLICKED, FALSE, ""},
        {WM_COMMAND, 565, CBN_SELENDOK, TRUE, "act 565"},  {WM_COMMAND, 565, CBN_SELCHANGE, FALSE, ""},
        {WM_COMMAND, 564, BN_CLICKED, 77, "next 273 564"}, {WM_COMMAND, IDOK, BN_CLICKED, 77, "next 273 1"},
        {WM_NOTIFY, 563, BN_CLICKED, 77, "next 78 563"}};
    for (const auto& [message, control, notification, answer, call] : rows) {
        Called.clear();
        EXPECT_EQ(answer,
                  DispatchControls(Table, nullptr, message, MAKEWPARAM(control, notification), 0, Next))
            << message << " " << control << "/" << notification;
        EXPECT_EQ(call, Called);
    }
    // The default next procedure answers TRUE for an unlisted control.
    EXPECT_EQ(TRUE, DispatchControls(Table, nullptr, WM_COMMAND, MAKEWPARAM(600, BN_CLICKED), 0));
}

// Read as "%i" from 39 characters, 0 for none or above the maximum. (Shown
// in range only: PortDialog.InitDialogShowsThePort.)
TEST(NumberFields, ReadPercentIUpToTheMaximum)
{
    Modeless dialog(IDD_VIRTUAL_PORT, PortDialogProc, nullptr);
    DialogItem field(dialog.window, IDC_NETWORK);
    const std::string pad(38, ' ');
    const std::pair<std::string, unsigned> read[] = {{"0x10", 16},      {"-1", 0},      {"65535", 0},
                                                     {"4294967297", 1}, {pad + "5", 5}, {pad + " 5", 0}};
    for (const auto& r : read) {
        field.SetText(r.first.c_str());
        EXPECT_EQ(r.second, field.ReadNumber(Network)) << "\"" << r.first << "\"";
    }
}

// A page shows the port when it becomes active; leaving it takes the fields
// when they are valid (answer FALSE), and keeps it shown otherwise (TRUE).
TEST(PortPage, SetActiveFillsKillActiveTakesOrStays)
{
    VirtualPort port;
    port.SetPortId(4);
    PROPSHEETPAGEA sheetPage = {};
    sheetPage.lParam = LPARAM(&port);
    Modeless made(IDD_VIRTUAL_PORT, PortPageProc, &sheetPage);
    HWND page = made.window;
    ASSERT_NE(nullptr, page);
    auto notify = [&](UINT code) {
        NMHDR header = {page, 0, code};
        return SendMessageA(page, WM_NOTIFY, 0, LPARAM(&header));
    };
    EXPECT_EQ(0, notify(PSN_SETACTIVE));  // fills port number 4, which the next check needs

    SetDlgItemTextA(page, IDC_NETWORK, "0x20");
    EXPECT_EQ(FALSE, notify(PSN_KILLACTIVE));
    EXPECT_EQ(32, port.GetNetwork());

    SetDlgItemTextA(page, IDC_NETWORK, "0");
    DialogDriver driver;
    driver.OnMessageBox(IDOK);
    EXPECT_EQ(TRUE, notify(PSN_KILLACTIVE));
    EXPECT_EQ(32, port.GetNetwork());
    EXPECT_EQ(1u, driver.MessageBoxes().size());
}
