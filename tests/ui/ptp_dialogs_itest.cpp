// The point-to-point dialog as a user reaches it through the Port Table dialog's Edit: the incoming
// passwords' list editor, step by step, seen in what OK saves.
#include "support/entry_values.h"
#include "ui/embedded_dialog.h"

// Each step types a text (1: "a" and so on; for Remove, selects that item) and sends the command; then
// the items, the selection, and 1 or 0 for Add and Remove enabled.
TEST(PtpDialogs, ListEditorThroughEdit)
{
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 2}, {"Protocol", 2}, {"Port", 3}});
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Nic", "COM1");
    EmbeddedDialog d;
    DialogDriver driver;
    const int steps[][2] = {{IDC_PASSWORD_LIST, 1},   {IDC_PASSWORD_LIST, 0},   {IDC_PASSWORD_ADD, 1},
                            {IDC_PASSWORD_ADD, 2},    {IDC_PASSWORD_ADD, 3},    {IDC_PASSWORD_ADD, 0},
                            {IDC_PASSWORD_REMOVE, 1}, {IDC_PASSWORD_REMOVE, 1}, {IDC_PASSWORD_REMOVE, -1},
                            {IDC_PASSWORD_REMOVE, 0}, {IDC_PASSWORD_ADD, 4}};
    std::string seen;
    driver.OnDialog("Point-To-Point Port Properties", [&](HWND ptp) {
        HWND list = GetDlgItem(ptp, IDC_PASSWORD_LIST);
        for (const auto& [control, typed] : steps) {
            if (control == IDC_PASSWORD_REMOVE)
                SendMessageA(list, CB_SETCURSEL, WPARAM(typed), 0);
            else
                SetWindowTextA(list, std::string(typed ? 1 : 0, char('a' + typed - 1)).c_str());
            SendMessageA(ptp, WM_COMMAND,
                         MAKEWPARAM(control, control == IDC_PASSWORD_LIST ? CBN_EDITCHANGE : BN_CLICKED), 0);
            for (const std::string& item : ComboItems(list))
                seen += item;
            seen += std::to_string(SendMessageA(list, CB_GETCURSEL, 0, 0)) +
                    Enabled(ptp, {IDC_PASSWORD_ADD, IDC_PASSWORD_REMOVE}) + ";";
        }
        PressButton(ptp, IDOK);
    });
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    EXPECT_EQ("-110;-100;a001;ab101;abc201;abc201;ac101;a001;a-101;-100;d001;", seen);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("m:d||", ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0))["PTP\\In_Passwords"]);
}

// Dial on a new port: retries of -1 are questioned, settings too long for 255 characters refused.
TEST(PtpDialogs, DialWarnsAndRefuses)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog("Point-To-Point Port Properties", [](HWND ptp) {
        SendDlgItemMessageA(ptp, IDC_COM_PORT, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(ptp, IDC_MODEM, BM_CLICK, 0, 0);
        PressButton(ptp, IDC_DIAL);
    });
    driver
        .OnDialog("Dial and Modem Properties",
                  [](HWND dial) {
                      SetDlgItemTextA(dial, IDC_PHONES, "1");
                      SetDlgItemTextA(dial, IDC_RETRIES, "-1");
                      SetDlgItemTextA(dial, IDC_INITSTR, std::string(250, 'i').c_str());
                      PressButton(dial, IDOK);
                  })
        .OnMessageBox(IDOK)
        .OnMessageBox(IDOK);
    driver.OnDialog("Dial and Modem Properties", [](HWND dial) { PressButton(dial, IDCANCEL); });
    driver.OnDialog("Point-To-Point Port Properties", [](HWND ptp) { PressButton(ptp, IDCANCEL); });
    d.Command(IDM_ADD_PTP);
    std::string boxes;
    for (const MessageBoxRecord& box : driver.MessageBoxes())
        boxes += std::to_string(box.style) + " " + box.text + "\n";
    EXPECT_EQ(
        "49 Retries value must be greater than -1. Do you wish to continue?\n16 The dial settings are too "
        "long. Phone numbers, initialization string and dial prefix together must fit in 255 characters.\n",
        boxes);
}
