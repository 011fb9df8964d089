// The BACnet/IP property sheet as a user reaches it, through the Port
// Table dialog's Edit and Add: each page's refill and checks, the enabling
// rules, the table's Add and Remove, OK and Cancel, seen in what is saved.
#include "support/entry_values.h"
#include "ui/embedded_dialog.h"

namespace {

// Wine activates a sheet before it sets the caption, so the driver meets
// the frame's placeholder title; the caption is checked once the sheet runs.
const char Sheet[] = "Properties for %s";
const std::string A = "10.0.0.1/47808/255.255.255.0", B = "10.0.0.2/47808/255.255.255.0",
                  C = "10.0.0.3/0xBAC0/255.255.255.0";

// A BBMD with two table entries and a foreign device table, registered as
// a foreign device too, as Save writes it.
const std::string Stored =
    "Type=#0;Protocol=#1;Port=#1;Connected=#1;Dnet=#1;Nic=;Secondary_Info=/UDP:47808;Bip\\Bbmd=#1;"
    "Bip\\Two_Hops=#1;Bip\\Num_Bdt_Entries=#2;Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" "
    "/SUBNET:\"255.255.255.0\";Bip\\Bdt_Entry1=/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\";"
    "Bip\\This_Subnet_Mask=255.255.255.0;Bip\\Fdt_Present=#1;Bip\\Max_Fdt_Entries=#5;Bip\\Foreign_Device=#1;"
    "Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#47809;Bip\\Fd_Time_To_Live=#600";

void StoreBip()
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    StoreValues(HKEY_LOCAL_MACHINE, EntryPath(0), Stored);
}

// One user step on page (0..2): control 0 only goes to the page; "!"
// clicks the control, "#n" selects row n of the table, other text is typed.
// shows: what the page then shows (State), unless empty; focus: the control
// that must have the focus, unless 0.
struct Step {
    int page, control;
    std::string input, shows;
    int focus;
};

// The page's id, then 1 or 0 for each control enabled; on the BBMD page
// (533 537 539 541 542 535 536) the rows, * marking the selected one, and
// the entry fields; on the Foreign Device page (552 539 555) v when 552 is
// checked.
std::string State(HWND sheet)
{
    HWND page = PropSheet_GetCurrentPageHwnd(sheet), list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    int id = GetDlgCtrlID(page);
    std::string state = std::to_string(id) + ":";
    for (int control : id == 503   ? std::vector<int>{533, 537, 539, 541, 542, 535, 536}
                       : id == 504 ? std::vector<int>{552, 539, 555}
                                   : std::vector<int>{})
        state += IsWindowEnabled(GetDlgItem(page, control)) ? '1' : '0';
    if (id == 504)
        return state + (IsDlgButtonChecked(page, 552) ? " v" : " -");
    if (id == 502)
        return state;
    state += " [";
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        char text[3][32] = {};
        for (int column = 0; column < 3; ++column)
            ListView_GetItemText(list, row, column, text[column], sizeof(text[column]));
        state += std::string(text[0]) + "/" + text[1] + "/" + text[2] +
                 (ListView_GetItemState(list, row, LVIS_SELECTED) ? "* " : " ");
    }
    return state + "] " + ControlText(page, 539) + "/" + ControlText(page, 531) + "/" +
           ControlText(page, 540);
}

void Perform(HWND sheet, const Step& step)
{
    if (GetDlgCtrlID(PropSheet_GetCurrentPageHwnd(sheet)) != IDD_BIP_PORT_PAGE + step.page)
        PropSheet_SetCurSel(sheet, nullptr, step.page);
    HWND control = GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), step.control);
    if (step.control && step.input == "!") {
        SendMessageA(control, BM_CLICK, 0, 0);
    } else if (step.control && step.input[0] == '#') {
        ListView_SetItemState(control, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(control, std::stoi(step.input.substr(1)), LVIS_SELECTED, LVIS_SELECTED);
    } else if (step.control) {
        SetWindowTextA(control, step.input.c_str());
    }
    if (!step.shows.empty()) {
        EXPECT_EQ(step.shows, State(sheet));
    }
    if (step.focus) {
        EXPECT_EQ(step.focus, GetDlgCtrlID(GetFocus()));
    }
}

// Edit on the stored port: runs steps, then presses button; the saved
// entry is compared with Stored changed by saved.
void EditStored(const std::vector<Step>& steps, int button, int boxes, const std::string& saved)
{
    StoreBip();
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog(Sheet, [&](HWND sheet) {
        EXPECT_EQ("BACnet/IP Port Properties", WindowText(sheet));
        for (const Step& step : steps)
            Perform(sheet, step);
        PropSheet_PressButton(sheet, button);
    });
    for (int box = 0; box < boxes; ++box)
        driver.OnMessageBox(IDOK);
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    EXPECT_EQ(button == PSBTN_OK ? 1 : 0, Changes.calls);
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EntryValues expected = ParseValues(Stored);
    for (const auto& [name, value] : ParseValues(saved))
        value == "-" ? void(expected.erase(name)) : void(expected[name] = value);
    EXPECT_EQ(expected, ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0)));
}

}  // namespace

// OK at once keeps every setting, the foreign device registration of a
// BBMD included; Cancel after changes on every page keeps none.
TEST(BipSheet, OkAtOnceKeepsAllAndCancelKeepsNothing)
{
    EditStored({}, PSBTN_OK, 0, "");
    EditStored({{0, 531, "47809", "", 0}, {1, IDC_BIP_BBMD, "!", "", 0}, {2, 552, "!", "", 0}}, PSBTN_CANCEL,
               0, "");
}

// Checks on leaving a page, the enabling rules after each click, and the
// table's Add and Remove with their messages and selection; then OK.
TEST(BipSheet, PagesCheckEnableAndEditTheTable)
{
    const std::string Mask = "/255.255.255.0";
    EditStored(
        {
            {0, 531, "abc", "502:", 0},
            {1, 0, "", "502:", 531},  // 145
            {0, 531, "47808", "", 0},
            {1, 0, "", "503:1111111 [" + A + "* " + B + " ] " + A, 0},
            {1, 541, "!", "503:1111111 [" + A + "* " + B + " ] " + A, 0},  // 153
            {1, 531, "0", "", 0},
            {1, 541, "!", "503:1111111 [" + A + "* " + B + " ] 10.0.0.1/0" + Mask, 0},  // 151
            {1, 539, "10.0.0.3", "", 0},
            {1, 531, "0xBAC0", "", 0},
            {1, 541, "!", "503:1111111 [" + A + "* " + B + " " + C + " ] " + C, 0},
            {1, 537, "#1", "503:1111111 [" + A + " " + B + "* " + C + " ] " + B, 0},
            {1, 537, "#2", "", 0},
            {1, 542, "!", "503:1111111 [" + A + " " + B + "* ] " + B, 0},
            {1, 542, "!", "", 0},
            {1, 542, "!", "503:1111011 [] " + A, 0},
            {1, IDC_BIP_BBMD, "!", "503:0000000 [] " + A, 0},
            {1, IDC_BIP_BBMD, "!", "503:1111011 [] " + A, 0},
            {1, 536, "0", "", 0},
            {2, 0, "", "", 536},  // 145
            {1, 536, "7", "", 0},
            {2, 0, "", "504:000 -", 0},
            {1, IDC_BIP_BBMD, "!", "503:0000000 [] " + A, 0},
            {2, 0, "", "504:100 -", 0},
            {2, 552, "!", "504:111 v", 0},
        },
        PSBTN_OK, 4,
        "Bip\\Bbmd=#0;Bip\\Num_Bdt_Entries=#0;Bip\\Bdt_Entry0=-;Bip\\Bdt_Entry1=-;Bip\\Max_Fdt_Entries=#7");
}

// A new port is refused until it has a port id and a network, then listed.
TEST(BipSheet, AddMakesADefaultPort)
{
    StoreBip();
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog(Sheet, [&](HWND sheet) {
        PropSheet_PressButton(sheet, PSBTN_OK);
        flush_events();
        Perform(sheet, {0, IDC_PORT_ID, "2", "", IDC_PORT_ID});
        Perform(sheet, {0, IDC_NETWORK, "20", "", 0});
        Perform(sheet, {0, IDC_BIP_UDP_PORT, "47809", "", 0});
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    driver.OnMessageBox(IDOK);
    d.Command(IDM_ADD_BIP);
    EXPECT_EQ(Texts{"One of the fields contains an invalid value."}, driver.MessageTexts());
    EXPECT_EQ((Texts{"2", "Yes", "20", "Physical", "BACnet/IP", "Default", "/UDP:47809"}), d.Row(1));
}
