// The point-to-point dialogs as a user reaches them: Add in the Port Table
// dialog opens the kind's dialog, whose buttons open the platform's serial
// settings dialog and the Dial and Modem dialog, each answered in turn.
#include "support/entry_values.h"
#include "ui/embedded_dialog.h"

namespace {

const char PtpCaption[] = "Point-To-Point Port Properties";
const char DialCaption[] = "Dial and Modem Properties";
const char SerialCaption[] = "Settings for COM1";

using Act = std::function<void(HWND)>;

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void Type(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }
void Choose(HWND dialog, int list, int index)
{
    SendDlgItemMessageA(dialog, list, CB_SETCURSEL, WPARAM(index), 0);
}

// The next answer of driver: in the dialog captioned caption, act, then
// press button.
DialogDriver& Step(DialogDriver& driver, const char* caption, int button, Act act = nullptr)
{
    return driver.OnDialog(caption, [=](HWND dialog) {
        if (act)
            act(dialog);
        PressButton(dialog, button);
    });
}

}  // namespace

// The settings button with a refused text (147: Cancel keeps it and OK then
// fails with 146; OK goes on from 9600,n,8,1), the platform's dialog
// cancelled and confirmed, no COM port (170); Dial with both warnings, then
// refused as too long and cancelled. The new row shows what was chosen.
TEST(PtpDialogs, SerialSettingsAndDialThroughAdd)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    DialogDriver driver;
    Texts seen;  // the hidden texts and the focused fields, one per step
    auto note = [&](int id) { return [&seen, id](HWND w) { seen.push_back(ControlText(w, id)); }; };
    Act focus = [&](HWND) { seen.push_back(std::to_string(GetDlgCtrlID(GetFocus()))); };
    Step(driver, PtpCaption, IDC_COM_SETTINGS, [](HWND w) {
        Type(w, IDC_PORT_ID, "5"), Type(w, IDC_MODE_TEXT, "bad");
    }).OnMessageBox(IDCANCEL);
    Step(driver, PtpCaption, IDOK, note(IDC_MODE_TEXT)).OnMessageBox(IDOK);
    Step(driver, PtpCaption, IDC_COM_SETTINGS, focus).OnMessageBox(IDOK);
    Step(driver, SerialCaption, IDCANCEL);
    Step(driver, PtpCaption, IDC_COM_SETTINGS,
         [&](HWND w) { note(IDC_MODE_TEXT)(w), Type(w, IDC_MODE_TEXT, "9600,e,7,1.5,p"); });
    Step(driver, SerialCaption, IDOK);
    Step(driver, PtpCaption, IDC_COM_SETTINGS, [&](HWND w) {
        note(IDC_MODE_TEXT)(w), Choose(w, IDC_COM_PORT, -1);
    }).OnMessageBox(IDOK);
    Step(driver, PtpCaption, IDC_DIAL, [](HWND w) { Choose(w, IDC_COM_PORT, 0), Click(w, IDC_MODEM); });
    Step(driver, DialCaption, IDOK, [&](HWND w) {
        for (int id : {IDC_PHONES, IDC_RETRIES, IDC_INTERVAL, IDC_RINGS, IDC_INITSTR, IDC_DIALSTR})
            note(id)(w);
    }).OnMessageBox(IDCANCEL);
    Step(driver, DialCaption, IDOK, [&](HWND w) {
        focus(w), Type(w, IDC_PHONES, "123 9,w4"), Type(w, IDC_RETRIES, "-1");
    }).OnMessageBox(IDOK);
    Step(driver, PtpCaption, IDC_DIAL, note(IDC_DIAL_TEXT));
    Step(driver, DialCaption, IDOK, [](HWND w) {
        Type(w, IDC_INITSTR, std::string(220, 'i')), Type(w, IDC_RETRIES, "0");
    }).OnMessageBox(IDOK);  // retries 0: no warning; too long
    Step(driver, DialCaption, IDCANCEL, focus);
    Step(driver, PtpCaption, IDOK, note(IDC_DIAL_TEXT));
    d.Command(IDM_ADD_PTP);

    const std::string dial =
        "/phones:\"123 9,w4\" /retries:-1 /interval:0 /rings:1 "
        "/initstr:\"atx4q0v1s0=0&d2&b1&c1\" /dialstr:\"atd\"";
    EXPECT_EQ((Texts{"bad", "561", "9600,n,8,1", "9600,e,7,1.5,p", "", "1", "0", "1", "atx4q0v1s0=0&d2&b1&c1",
                     "atd", "630", dial, "634", dial}),
              seen);
    EXPECT_EQ(
        (Texts{
            "Specified port properties are not valid. Do you wish to proceed with default values?",
            "Serial port settings are invalid.",
            "Specified port properties are not valid. Do you wish to proceed with default values?",
            "Cannot configure the serial port", "No phone numbers are specified. Do you wish to continue?",
            "Retries value must be greater than -1. Do you wish to continue?",
            "The dial settings are too long. Phone numbers, initialization string and dial prefix together "
            "must fit in 255 characters."}),
        driver.MessageTexts());
    std::vector<UINT> styles;
    for (const MessageBoxRecord& box : driver.MessageBoxes())
        styles.push_back(box.style);
    EXPECT_EQ((std::vector<UINT>{0x31, 0x10, 0x31, 0x10, 0x31, 0x31, 0x10}), styles);
    Texts row = d.Row(0);
    EXPECT_EQ((Texts{"5", "Yes", "n/a", "Point-To-Point", "n/a", "COM1"}), Texts(row.begin(), row.end() - 1));
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("s:/MODE:\"9600,e,7,1.5,p\" /modem " + dial,
              ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0), true)["Secondary_Info"]);
}

// Next to a stored HTTP port: Client enables the proxy fields, Server
// disables them; the list editor adds a network; the row shows the text.
TEST(PtpDialogs, HttpClientAndServerThroughAdd)
{
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 2}, {"Protocol", 9}, {"Port", 9}});
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Nic", "-server:3 -port:80");
    EmbeddedDialog d;
    DialogDriver driver;
    std::string enabled;
    auto proxy = [&](HWND http) { enabled += Enabled(http, {IDC_PROXY_HOST, IDC_PROXY_PORT}); };
    Step(driver, "Orvanta/HTTP Point-To-Point Port Properties", IDOK, [&](HWND http) {
        Type(http, IDC_PORT_ID, "6");
        proxy(http);
        Click(http, IDC_CLIENT);
        proxy(http);
        for (auto [id, text] : {std::pair<int, const char*>{IDC_CLIENT_ID, "7"},
                                {IDC_SERVER_HOST, "gw"},
                                {IDC_SERVER_PORT, "80"},
                                {IDC_PROXY_HOST, "px"},
                                {IDC_PROXY_PORT, "81"},
                                {IDC_NETWORK_LIST, "12"}})
            Type(http, id, text);
        Click(http, IDC_NETWORK_ADD);
        Click(http, IDC_SERVER);
        proxy(http);
        Click(http, IDC_CLIENT);
    });
    d.Command(IDM_ADD_OHTTP_PTP);
    EXPECT_EQ("001100", enabled);
    const std::string nic = "-client:7 -server_port:80 -server_host:\"gw\" -proxy_host:\"px\" -proxy_port:81";
    EXPECT_EQ((Texts{"6", "Yes", "n/a", "Point-To-Point", "O/HTTP PTP", nic, nic}), d.Row(1));
    EXPECT_EQ((Texts{"O/HTTP PTP", "-server:3 -port:80"}), (Texts{d.Text(0, 4), d.Text(0, 5)}));
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("m:12||", ReadValues(HKEY_LOCAL_MACHINE, EntryPath(1))["Ptp_Dnets"]);
}

// Edit on a port whose COM port is not present: nothing selected, CO&M...
// disabled and OK refused at the list (145); choosing COM1 enables it. The
// incoming passwords' editor, step by step: typed text (for Remove, the
// item selected) and the command; then items, selection, Add and Remove.
TEST(PtpDialogs, ComListAndListEditorThroughEdit)
{
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 2}, {"Protocol", 2}, {"Port", 3}});
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Nic", "COM9");
    EmbeddedDialog d;
    DialogDriver driver;
    const struct {
        int control;
        int typed;  // 0: "", 1: "a" and so on; for Remove, the item selected
    } steps[] = {{IDC_PASSWORD_LIST, 1},   {IDC_PASSWORD_LIST, 0},   {IDC_PASSWORD_ADD, 1},
                 {IDC_PASSWORD_ADD, 2},    {IDC_PASSWORD_ADD, 3},    {IDC_PASSWORD_ADD, 0},
                 {IDC_PASSWORD_REMOVE, 1}, {IDC_PASSWORD_REMOVE, 1}, {IDC_PASSWORD_REMOVE, -1},
                 {IDC_PASSWORD_REMOVE, 0}, {IDC_PASSWORD_ADD, 4}};
    std::string seen;
    Step(driver, PtpCaption, IDOK, [&](HWND ptp) {
        seen += std::to_string(SendDlgItemMessageA(ptp, IDC_COM_PORT, CB_GETCURSEL, 0, 0)) +
                (IsWindowEnabled(GetDlgItem(ptp, IDC_COM_SETTINGS)) ? "+ " : "- ");
    }).OnMessageBox(IDOK);
    Step(driver, PtpCaption, IDOK, [&](HWND ptp) {
        Choose(ptp, IDC_COM_PORT, 0);
        SendMessageA(ptp, WM_COMMAND, MAKEWPARAM(IDC_COM_PORT, CBN_SELENDOK), 0);
        seen += IsWindowEnabled(GetDlgItem(ptp, IDC_COM_SETTINGS)) ? "+;" : "-;";
        HWND list = GetDlgItem(ptp, IDC_PASSWORD_LIST);
        for (const auto& step : steps) {
            if (step.control == IDC_PASSWORD_REMOVE)
                SendMessageA(list, CB_SETCURSEL, WPARAM(step.typed), 0);
            else
                SetWindowTextA(list, std::string(step.typed ? 1 : 0, char('a' + step.typed - 1)).c_str());
            SendMessageA(
                ptp, WM_COMMAND,
                MAKEWPARAM(step.control, step.control == IDC_PASSWORD_LIST ? CBN_EDITCHANGE : BN_CLICKED), 0);
            for (const std::string& item : ComboItems(list))
                seen += item;
            seen += std::to_string(SendMessageA(list, CB_GETCURSEL, 0, 0)) +
                    Enabled(ptp, {IDC_PASSWORD_ADD, IDC_PASSWORD_REMOVE}) + ";";
        }
    });
    ListView_SetItemState(d.list, 0, LVIS_SELECTED, LVIS_SELECTED);
    d.Command(IDC_EDIT_PORT);
    EXPECT_EQ("-1- +;-110;-100;a001;ab101;abc201;abc201;ac101;a001;a-101;-100;d001;", seen);
    EXPECT_EQ((Texts{"One of the fields contains an invalid value."}), driver.MessageTexts());
    EXPECT_EQ("COM1", d.Text(0, 5));
    d.dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
    EXPECT_EQ("m:d||", ReadValues(HKEY_LOCAL_MACHINE, EntryPath(0))["PTP\\In_Passwords"]);
}
