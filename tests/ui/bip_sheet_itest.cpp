// The BACnet/IP property sheet as a user reaches it, through the Port
// Table dialog's Edit and Add: each page's refill and checks, the enabling
// rules, the table's Add and Remove, OK and Cancel, seen in what is saved.
#include "ui/embedded_dialog.h"

#include <map>

namespace {

using Values = std::map<std::string, std::string>;  // "Bip\Name" for the subkey; numbers as "#n"
// Wine activates a sheet before it sets the caption, so the driver meets
// the frame's placeholder title; the caption is checked once the sheet runs.
const char Sheet[] = "Properties for %s";
const char Row1[] = "/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"";
const char Row2[] = "/IP:\"10.0.0.2\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"";

// A BBMD with two table entries and a foreign device table, registered as
// a foreign device too, as Save writes it.
const Values StoredBip = {{"Type", "#0"},
                          {"Protocol", "#1"},
                          {"Port", "#1"},
                          {"Connected", "#1"},
                          {"Dnet", "#1"},
                          {"Nic", ""},
                          {"Secondary_Info", "/UDP:47808"},
                          {"Bip\\Bbmd", "#1"},
                          {"Bip\\Two_Hops", "#1"},
                          {"Bip\\Num_Bdt_Entries", "#2"},
                          {"Bip\\Bdt_Entry0", Row1},
                          {"Bip\\Bdt_Entry1", Row2},
                          {"Bip\\This_Subnet_Mask", "255.255.255.0"},
                          {"Bip\\Fdt_Present", "#1"},
                          {"Bip\\Max_Fdt_Entries", "#5"},
                          {"Bip\\Foreign_Device", "#1"},
                          {"Bip\\Fd_Bbmd_Ip", "10.0.0.9"},
                          {"Bip\\Fd_Bbmd_Udp", "#47809"},
                          {"Bip\\Fd_Time_To_Live", "#600"}};

void StoreBip()
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    for (const auto& [name, value] : StoredBip) {
        size_t slash = name.find('\\');
        std::string key = slash == std::string::npos ? EntryPath(0) : EntryPath(0) + "\\Bip";
        std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
        if (value[0] == '#')
            SetDword(HKEY_LOCAL_MACHINE, key, leaf.c_str(), std::stoul(value.substr(1)));
        else
            SetString(HKEY_LOCAL_MACHINE, key, leaf.c_str(), value);
    }
}

Values Saved(int entry)
{
    Values values;
    for (const std::string& key : {std::string(), std::string("Bip\\")})
        for (const std::string& name : ValueNames(HKEY_LOCAL_MACHINE, EntryPath(entry) + "\\" + key)) {
            DWORD type = 0;
            std::vector<BYTE> data;
            GetRaw(HKEY_LOCAL_MACHINE, EntryPath(entry) + "\\" + key, name.c_str(), &type, &data);
            values[key + name] = type == REG_DWORD
                                     ? "#" + std::to_string(*reinterpret_cast<DWORD*>(data.data()))
                                     : std::string(reinterpret_cast<char*>(data.data()));
        }
    return values;
}

// One user step on page (0..2): control 0 only goes to the page; "!"
// clicks the control, "#n" selects row n of the list, other text is typed.
// What the page then shows: its id, then 1/0 for each control enabled
// (BBMD page: 533 537 539 541 542 535 536, the rows with * for the
// selected one, and the entry fields; Foreign Device page: 552 539 555 and
// whether 552 is checked). focus: the control that must have the focus.
struct Step {
    int page, control;
    const char* input;
    const char* shows;
    int focus;
};

std::string State(HWND sheet)
{
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    int id = GetDlgCtrlID(page);
    std::string state = std::to_string(id) + ":";
    const std::vector<int> flags = id == 503   ? std::vector<int>{533, 537, 539, 541, 542, 535, 536}
                                   : id == 504 ? std::vector<int>{552, 539, 555}
                                               : std::vector<int>{};
    for (int control : flags)
        state += IsWindowEnabled(GetDlgItem(page, control)) ? '1' : '0';
    if (id == 504)
        state += IsDlgButtonChecked(page, 552) ? " v" : " -";
    if (id != 503)
        return state;
    HWND list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    state += " [";
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        char text[3][32] = {};
        for (int column = 0; column < 3; ++column)
            ListView_GetItemText(list, row, column, text[column], sizeof(text[column]));
        bool selected = ListView_GetItemState(list, row, LVIS_SELECTED);
        state += std::string(text[0]) + "/" + text[1] + "/" + text[2] + (selected ? "* " : " ");
    }
    return state + "] " + ControlText(page, 539) + "/" + ControlText(page, 531) + "/" +
           ControlText(page, 540);
}

void Perform(HWND sheet, const Step& step)
{
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    if (GetDlgCtrlID(page) != IDD_BIP_PORT_PAGE + step.page) {
        PropSheet_SetCurSel(sheet, nullptr, step.page);
        page = PropSheet_GetCurrentPageHwnd(sheet);
    }
    HWND control = GetDlgItem(page, step.control);
    std::string input = step.input;
    if (step.control && input == "!") {
        SendMessageA(control, BM_CLICK, 0, 0);
    } else if (step.control && input[0] == '#') {
        ListView_SetItemState(control, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(control, std::stoi(input.substr(1)), LVIS_SELECTED, LVIS_SELECTED);
    } else if (step.control) {
        SetWindowTextA(control, step.input);
    }
    if (*step.shows)
        EXPECT_EQ(step.shows, State(sheet));
    if (step.focus)
        EXPECT_EQ(step.focus, GetDlgCtrlID(GetFocus()));
}

}  // namespace

// OK at once keeps every setting, the foreign device registration of a
// BBMD included; Cancel after changes on every page keeps none.
TEST(BipSheet, OkAtOnceKeepsAllAndCancelKeepsNothing)
{
    const Step changes[] = {{0, 531, "47809", "", 0}, {1, IDC_BIP_BBMD, "!", "", 0}, {2, 552, "!", "", 0}};
    for (int button : {PSBTN_OK, PSBTN_CANCEL}) {
        StoreBip();
        EmbeddedDialog d;
        DialogDriver driver;
        driver.OnDialog(Sheet, [&](HWND sheet) {
            EXPECT_EQ("BACnet/IP Port Properties", WindowText(sheet));
            for (const Step& step : changes)
                if (button == PSBTN_CANCEL)
                    Perform(sheet, step);
            PropSheet_PressButton(sheet, button);
        });
        d.Select(0);
        d.Command(IDC_EDIT_PORT);
        EXPECT_EQ(button == PSBTN_OK ? 1 : 0, Changes.calls);
        d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(StoredBip, Saved(0)) << button;
    }
}

// Checks on leaving a page, the enabling rules after each click, and the
// table's Add and Remove with their messages and selection; then OK.
TEST(BipSheet, PagesCheckEnableAndEditTheTable)
{
    const std::string Mask = "255.255.255.0";
    const Step steps[] = {
        {0, 531, "abc", "502:", 0},
        {1, 0, "", "502:", 531},  // 145
        {0, 531, "47808", "", 0},
        {1, 0, "",
         "503:1111111 [10.0.0.1/47808/255.255.255.0* 10.0.0.2/47808/255.255.255.0 ] "
         "10.0.0.1/47808/255.255.255.0",
         0},
        {1, 541, "!",
         "503:1111111 [10.0.0.1/47808/255.255.255.0* 10.0.0.2/47808/255.255.255.0 ] "
         "10.0.0.1/47808/255.255.255.0",
         0},  // 153
        {1, 531, "0", "", 0},
        {1, 541, "!",
         "503:1111111 [10.0.0.1/47808/255.255.255.0* 10.0.0.2/47808/255.255.255.0 ] 10.0.0.1/0/255.255.255.0",
         0},  // 151
        {1, 539, "10.0.0.3", "", 0},
        {1, 531, "0xBAC0", "", 0},
        {1, 541, "!",
         "503:1111111 [10.0.0.1/47808/255.255.255.0* 10.0.0.2/47808/255.255.255.0 "
         "10.0.0.3/0xBAC0/255.255.255.0 ] 10.0.0.3/0xBAC0/255.255.255.0",
         0},
        {1, 537, "#1",
         "503:1111111 [10.0.0.1/47808/255.255.255.0 10.0.0.2/47808/255.255.255.0* "
         "10.0.0.3/0xBAC0/255.255.255.0 ] 10.0.0.2/47808/255.255.255.0",
         0},
        {1, 537, "#2", "", 0},
        {1, 542, "!",
         "503:1111111 [10.0.0.1/47808/255.255.255.0 10.0.0.2/47808/255.255.255.0* ] "
         "10.0.0.2/47808/255.255.255.0",
         0},
        {1, 542, "!", "", 0},
        {1, 542, "!", "503:1111011 [] 10.0.0.1/47808/255.255.255.0", 0},
        {1, IDC_BIP_BBMD, "!", "503:0000000 [] 10.0.0.1/47808/255.255.255.0", 0},
        {1, IDC_BIP_BBMD, "!", "503:1111011 [] 10.0.0.1/47808/255.255.255.0", 0},
        {1, 536, "0", "", 0},
        {2, 0, "", "", 536},  // 145
        {1, 536, "7", "", 0},
        {2, 0, "", "504:000 -", 0},
        {1, IDC_BIP_BBMD, "!", "503:0000000 [] 10.0.0.1/47808/255.255.255.0", 0},
        {2, 0, "", "504:100 -", 0},
        {2, 552, "!", "504:111 v", 0},
    };
    StoreBip();
    EmbeddedDialog d;
    DialogDriver driver;
    driver.OnDialog(Sheet, [&](HWND sheet) {
        for (const Step& step : steps)
            Perform(sheet, step);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    for (int box = 0; box < 4; ++box)
        driver.OnMessageBox(IDOK);
    d.Select(0);
    d.Command(IDC_EDIT_PORT);
    EXPECT_EQ((Texts{"One of the fields contains an invalid value.", "BDT entry already exists.",
                     "BDT entry settings are invalid.", "One of the fields contains an invalid value."}),
              driver.MessageTexts());
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    Values expected = StoredBip;
    expected.erase("Bip\\Bdt_Entry0");
    expected.erase("Bip\\Bdt_Entry1");
    for (auto [name, value] :
         Values{{"Bip\\Bbmd", "#0"}, {"Bip\\Num_Bdt_Entries", "#0"}, {"Bip\\Max_Fdt_Entries", "#7"}})
        expected[name] = value;
    EXPECT_EQ(expected, Saved(0));
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
    EXPECT_EQ((Texts{"2", "Yes", "20", "Physical", "BACnet/IP", "Default", "/UDP:47809"}),
              (Texts{d.Text(1, 0), d.Text(1, 1), d.Text(1, 2), d.Text(1, 3), d.Text(1, 4), d.Text(1, 5),
                     d.Text(1, 6)}));
}
