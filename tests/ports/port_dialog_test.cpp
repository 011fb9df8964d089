// The dialog framework on dialog 501 of a VirtualPort: the modal Edit, the page, the helpers.
#include <gtest/gtest.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"
#include "support/test_ports.h"

// Types the fields and presses button.
void Type(HWND dialog, const char* id, const char* network, bool attached, int button)
{
    SetDlgItemTextA(dialog, IDC_PORT_ID, id);
    SetDlgItemTextA(dialog, IDC_NETWORK, network);
    DialogItem(dialog, IDC_ATTACHED).SetChecked(attached);
    PressButton(dialog, button);
}

// Port number, network number, attached.
std::string Shown(const PortWithDnet& port)
{
    return std::to_string(port.GetPortId()) + " " + std::to_string(port.GetNetwork()) + " " +
           std::to_string(port.IsAttached());
}

// The modal Edit: Cancel changes nothing; OK with a bad field shows message 145 over the dialog and leaves
// the port as it was until the field is fixed; then OK takes the fields.
TEST(PortDialog, EditTakesTheFieldsOnlyOnAValidOk)
{
    const char caption[] = "Virtual Port Properties";
    VirtualPortWith port(4, 40, true);
    DialogDriver driver;
    driver.OnDialog(caption, [](HWND dialog) { Type(dialog, "9", "90", false, IDCANCEL); });
    EXPECT_FALSE(port.Edit(nullptr));
    HWND shown = nullptr;
    driver.OnDialog(caption, [&](HWND dialog) { Type(shown = dialog, "12", "65535", false, IDOK); });
    driver.OnMessageBox(IDOK).OnDialog(caption, [&](HWND dialog) {
        EXPECT_EQ("4 40 1", Shown(port));
        Type(dialog, "12", "77", false, IDOK);
    });
    EXPECT_TRUE(port.Edit(nullptr));
    EXPECT_EQ("12 77 0", Shown(port));
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    const MessageBoxRecord& box = driver.MessageBoxes()[0];
    EXPECT_EQ(std::make_tuple(std::string("One of the fields contains an invalid value."),
                              std::string("Orvanta Message"), shown, UINT(MB_ICONHAND)),
              std::make_tuple(box.text, box.caption, box.owner, box.style));
}

// A page shows the port when active; leaving it takes valid fields (FALSE), else stays shown (TRUE).
TEST(PortPage, SetActiveFillsKillActiveTakesOrStays)
{
    VirtualPortWith paged(4, 0);
    PROPSHEETPAGEA sheetPage = {};
    sheetPage.lParam = LPARAM(&paged);
    Modeless made(IDD_VIRTUAL_PORT, PortPageProc, &sheetPage);
    auto notify = [&](UINT code, const char* network) {
        SetDlgItemTextA(made.window, IDC_NETWORK, network);
        NMHDR header = {made.window, 0, code};
        SendMessageA(made.window, WM_NOTIFY, 0, LPARAM(&header));
        return std::to_string(GetWindowLongPtrA(made.window, DWLP_MSGRESULT)) + " " + Shown(paged);
    };
    EXPECT_EQ("0 4 0 1", notify(PSN_SETACTIVE, "")) << "fills port number 4";
    EXPECT_EQ("0 4 32 1", notify(PSN_KILLACTIVE, "0x20"));
    DialogDriver driver;
    driver.OnMessageBox(IDOK);
    EXPECT_EQ("1 4 32 1", notify(PSN_KILLACTIVE, "0"));
    EXPECT_EQ(1u, driver.MessageBoxes().size());
}

// Numbers read as "%i" from 39 characters (0 for none or above the maximum), as signed "%i" from 127;
// no list or no selection reads as -1.
TEST(PortDialogHelpers, OnRealControls)
{
    ListViewHost host(5);
    CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, host.window, HMENU(7), nullptr, nullptr);
    const NumberRange network = {1, 65534, 6};
    // Text after that many spaces; ReadNumber's and GetDlgItemNumber's answers.
    const std::tuple<const char*, size_t, unsigned, int> numbers[] = {
        {"0x10", 0, 16, 16},     {"-1", 0, 0, -1},     {"65535", 0, 0, 65535},
        {"4294967297", 0, 1, 1}, {"-0x10", 0, 0, -16}, {"5", 38, 5, 5},
        {" 5", 38, 0, 5},        {"5", 126, 0, 5},     {"5", 127, 0, 0}};
    for (const auto& [digits, spaces, read, scanned] : numbers) {
        std::string text = std::string(spaces, ' ') + digits;
        SetDlgItemTextA(host.window, 7, text.c_str());
        EXPECT_EQ(
            std::make_pair(read, scanned),
            std::make_pair(DialogItem(host.window, 7).ReadNumber(network), GetDlgItemNumber(host.window, 7)))
            << "\"" << text << "\"";
    }
    EXPECT_EQ(-2, GetSelectedListItem(host.list) + GetSelectedListItem(nullptr)) << "none selected, no list";
    SelectListItem(nullptr, 0);
}
