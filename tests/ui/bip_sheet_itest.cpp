// The BACnet/IP property sheet as a user reaches it through the Port Table dialog's Edit: the enabling
// rules of its pages after each click and the table's Remove, seen in what OK saves.
#include "support/entry_values.h"
#include "ui/embedded_dialog.h"

namespace {

// A BBMD with two table entries and a foreign device table, registered as a foreign device too.
const std::string BipEntry =
    "Type=#0;Protocol=#1;Port=#1;Connected=#1;Dnet=#1;Nic=;Secondary_Info=/UDP:47808;Bip\\Bbmd=#1;"
    "Bip\\Two_Hops=#1;Bip\\Num_Bdt_Entries=#2;Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" "
    "/SUBNET:\"255.255.255.0\";Bip\\Bdt_Entry1=/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\";"
    "Bip\\This_Subnet_Mask=255.255.255.0;Bip\\Fdt_Present=#1;Bip\\Max_Fdt_Entries=#5;Bip\\Foreign_Device=#1;"
    "Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#47809;Bip\\Fd_Time_To_Live=#600";

// Page 1 or 2 of the sheet, 1 or 0 for each control enabled (BBMD page: 533 537 539 541 542 535 536,
// then its rows; Foreign Device page: 552 539 555, then v when 552 is checked).
std::string State(HWND sheet, int page)
{
    PropSheet_SetCurSel(sheet, nullptr, page);
    HWND p = PropSheet_GetCurrentPageHwnd(sheet);
    std::string state;
    for (int id :
         page == 1 ? std::vector<int>{533, 537, 539, 541, 542, 535, 536} : std::vector<int>{552, 539, 555})
        state += IsWindowEnabled(GetDlgItem(p, id)) ? '1' : '0';
    return state + (page == 2 ? IsDlgButtonChecked(p, 552) ? "v " : "- "
                              : std::to_string(ListView_GetItemCount(GetDlgItem(p, IDC_BIP_BDT_LIST))) + " ");
}

}  // namespace

// Remove twice empties the table; BBMD off disables its page and allows the foreign device registration,
// here turned off.
TEST(BipSheet, PagesEnableAndRemove)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    StoreValues(HKEY_LOCAL_MACHINE, EntryPath(0), BipEntry);
    EmbeddedDialog d;
    DialogDriver driver;
    std::string seen;
    // Wine activates a sheet before it sets the caption: the driver meets the frame's placeholder title.
    driver.OnDialog("Properties for %s", [&](HWND sheet) {
        auto click = [&](int page, int id) {
            PropSheet_SetCurSel(sheet, nullptr, page);
            SendDlgItemMessageA(PropSheet_GetCurrentPageHwnd(sheet), id, BM_CLICK, 0, 0);
        };
        seen += State(sheet, 1) + State(sheet, 2);
        click(1, IDC_BIP_BDT_REMOVE), click(1, IDC_BIP_BDT_REMOVE);
        seen += State(sheet, 1);
        click(1, IDC_BIP_BBMD);
        seen += State(sheet, 1) + State(sheet, 2);
        click(2, 552);
        seen += State(sheet, 2);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    EXPECT_EQ("11111112 000- 11110110 00000000 111v 100- ", seen);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EntryValues expected = ParseValues(BipEntry);
    expected.erase("Bip\\Bdt_Entry0"), expected.erase("Bip\\Bdt_Entry1");
    expected["Bip\\Bbmd"] = expected["Bip\\Num_Bdt_Entries"] = expected["Bip\\Foreign_Device"] = "#0";
    EXPECT_EQ(expected, ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0)));
}
