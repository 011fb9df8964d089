// The serial point-to-point port: its stored values read, shown and saved,
// its checks, its duplicates, and dialog 505 without a modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/kinds/ptp_port.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

namespace {

using Values = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;

const char DefaultInfo[] = "/mode:\"9600,n,8,1\"  /retries:1 /interval:0 /rings:1";
const std::string Long(size_t n, char c = 'p') { return std::string(n, c); }

// Values written as "d:123" (REG_DWORD), "s:text" (REG_SZ) or "m:a|b||"
// (REG_MULTI_SZ, '|' for each NUL, stored as given); a name "PTP\x" lies
// in the subkey "PTP".
void Store(const std::string& path, const Values& values)
{
    for (const auto& [name, value] : values) {
        size_t slash = name.find('\\');
        std::string key = slash == std::string::npos ? path : path + "\\" + name.substr(0, slash);
        std::string value_name = name.substr(slash == std::string::npos ? 0 : slash + 1);
        std::string data = value.substr(2);
        if (value[0] == 'd') {
            SetDword(HKEY_CURRENT_USER, key, value_name.c_str(), DWORD(std::stoul(data, nullptr, 0)));
            continue;
        }
        std::replace(data.begin(), data.end(), '|', '\0');
        SetRaw(HKEY_CURRENT_USER, key, value_name.c_str(), value[0] == 'm' ? REG_MULTI_SZ : REG_SZ,
               data.data(), DWORD(data.size() + (value[0] == 's')));
    }
}

Values Dump(const std::string& path, const std::string& prefix = "")
{
    Values values;
    for (const std::string& name : ValueNames(HKEY_CURRENT_USER, path)) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, path, name.c_str(), &type, &data);
        std::string text(data.begin(), data.end());
        if (type == REG_DWORD)
            text = "d:" + std::to_string(GetDword(HKEY_CURRENT_USER, path, name.c_str()));
        else if (type == REG_SZ)
            text = "s:" + text.substr(0, text.size() - 1);
        else
            std::replace(text.begin(), text.end(), '\0', '|'), text = "m:" + text;
        values[prefix + name] = text;
    }
    if (prefix.empty() && KeyExists(HKEY_CURRENT_USER, path + "\\PTP"))
        for (const auto& value : Dump(path + "\\PTP", "PTP\\"))
            values.insert(value);
    return values;
}

template <class Kind>
std::unique_ptr<Kind> Load(const Values& stored)
{
    RegistrySandbox entry("TolmarinPtpIn");
    Store(entry.Path(), stored);
    return std::make_unique<Kind>(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

Values Saved(const Port& port)
{
    RegistrySandbox saved("TolmarinPtpOut");
    EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
    return Dump(saved.Path());
}

Values With(Values base, const Values& changes)
{
    for (const auto& [name, value] : changes)
        base[name] = value;
    return base;
}

const Values SavedDefaults = {{"Connected", "d:1"},
                              {"Nic", "s:COM1"},
                              {"PTP\\In_Passwords", "m:|"},
                              {"Port", "d:0"},
                              {"Protocol", "d:2"},
                              {"Ptp_Password", "s:"},
                              {"Ptp_Performance", "d:255"},
                              {"Ptp_Permanent", "d:0"},
                              {"Secondary_Info", std::string("s:") + DefaultInfo},
                              {"Type", "d:2"}};

// COM7 listed among the serial ports for the length of a scope.
struct SerialPort7 {
    SerialPort7() { SetString(HKEY_LOCAL_MACHINE, Key, "TolmarinTest", "COM7"); }
    ~SerialPort7()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS)
            RegDeleteValueA(key, "TolmarinTest"), RegCloseKey(key);
    }
    static constexpr char Key[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
};

struct PtpDialog {
    explicit PtpDialog(const PtpPort& port)
        : window(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_PTP_PORT), nullptr, PtpPortDialogProc,
                                    LPARAM(&port)))
    {
    }
    ~PtpDialog() { DestroyWindow(window); }
    Texts Items(int id) const
    {
        Texts items;
        for (int i = 0; i < int(SendDlgItemMessageA(window, id, CB_GETCOUNT, 0, 0)); ++i) {
            char text[300] = "";
            SendDlgItemMessageA(window, id, CB_GETLBTEXT, i, LPARAM(text));
            items.push_back(text);
        }
        return items;
    }
    std::string Enabled(std::initializer_list<int> ids) const
    {
        std::string states;
        for (int id : ids)
            states += IsWindowEnabled(GetDlgItem(window, id)) ? '1' : '0';
        return states;
    }
    INT_PTR Command(int id, WORD notification) const
    {
        return PtpPortDialogProc(window, WM_COMMAND, MAKEWPARAM(id, notification),
                                 LPARAM(GetDlgItem(window, id)));
    }
    void AddItem(int list, const char* text) const
    {
        SetDlgItemTextA(window, list, text);
        Command(list + 1, BN_CLICKED);
    }
    HWND window;
};

}  // namespace

TEST(PtpPortRegistry, StoredShownSaved)
{
    std::string Huge;
    for (int i = 0; i < 20000; ++i)
        Huge += std::to_string(i % 65534 + 1) + "|";
    Huge += "|";
    const struct {
        Values stored;
        Texts shown;     // port id, attached, network, NIC, secondary info
        Values changed;  // saved, where it differs from the defaults
    } rows[] = {
        {{}, {"0", "Yes", "n/a", "COM1", DefaultInfo}, {}},
        {{{"Port", "d:0x1FF"},
          {"Connected", "d:0"},
          {"Ptp_Permanent", "d:7"},
          {"Ptp_Performance", "d:0xFFFFFFFF"},
          {"Nic", "s:com1"},
          {"Ptp_Password", "s:pw"}},
         {"255", "No", "n/a", "com1", DefaultInfo},
         {{"Port", "d:255"},
          {"Connected", "d:0"},
          {"Ptp_Permanent", "d:1"},
          {"Ptp_Performance", "d:4294967295"},
          {"Nic", "s:com1"},
          {"Ptp_Password", "s:pw"}}},
        {{{"Ptp_Dnets", "m:5|0x10|017|abc|70000||"}, {"PTP\\In_Passwords", "m:a|bb||"}},
         {"0", "Yes", "n/a", "COM1", DefaultInfo},
         {{"Ptp_Dnets", "m:5|16|15|0|0||"}, {"PTP\\In_Passwords", "m:a|bb||"}}},
        {{{"Ptp_Dnets", "m:7"}, {"PTP\\In_Passwords", "m:abc"}, {"Nic", "s:" + Long(255, 'C')}},
         {"0", "Yes", "n/a", Long(255, 'C'), DefaultInfo},
         {{"Ptp_Dnets", "m:7||"}, {"PTP\\In_Passwords", "m:abc||"}, {"Nic", "s:" + Long(255, 'C')}}},
        {{{"Secondary_Info", "s:/MODE:\"19200,e,7,2\" /modem /phones:\"1,w2\" /rings:3"}},
         {"0", "Yes", "n/a", "COM1",
          "/mode:\"19200,e,7,2\" /modem /phones:\"1,w2\" /retries:1 /interval:0 /rings:3"},
         {{"Secondary_Info",
           "s:/mode:\"19200,e,7,2\" /modem /phones:\"1,w2\" /retries:1 /interval:0 /rings:3"}}},
        {{{"Ptp_Dnets", "m:||"}, {"Ptp_Password", "s:" + Long(255)}},
         {"0", "Yes", "n/a", "COM1", DefaultInfo},
         {{"Ptp_Password", "s:" + Long(255)}}},
        {{{"Ptp_Dnets", "m:" + Huge}},
         {"0", "Yes", "n/a", "COM1", DefaultInfo},
         {{"Ptp_Dnets", "m:" + Huge}}},
        {{{"Ptp_Password", "s:" + Long(256)}, {"Secondary_Info", "s:" + Long(256)}},
         {"0", "Yes", "n/a", "COM1", DefaultInfo},
         {}},
    };
    for (const auto& row : rows) {
        auto port = Load<PtpPort>(row.stored);
        EXPECT_EQ(row.shown, (Texts{port->GetPortIdText(), port->GetAttachedText(), port->GetNetworkText(),
                                    port->GetNicText(), port->GetSecondaryInfo()}));
        EXPECT_EQ(With(SavedDefaults, row.changed), Saved(*port));
    }
}

// Each check in its order; the stored values pass alone with port id 1.
TEST(PtpPortRegistry, ValidateNamesTheFirstFailingControl)
{
    const struct {
        Values stored;
        std::pair<int, int> failure;  // control, message; 0, 0 when valid
    } rows[] = {
        {{{"Port", "d:0"}, {"Ptp_Performance", "d:256"}}, {510, 145}},
        {{{"Ptp_Performance", "d:256"}, {"Nic", "s:COM9"}}, {569, 145}},
        {{{"Ptp_Performance", "d:0xFFFFFFFF"}}, {569, 145}},
        {{{"Nic", "s:com1"}, {"Secondary_Info", "s:/mode:\"bad\""}}, {560, 145}},
        {{{"Secondary_Info", "s:/mode:\"bad\""}, {"Ptp_Dnets", "m:0||"}}, {561, 146}},
        {{{"Ptp_Dnets", "m:5|65535||"}, {"PTP\\In_Passwords", "m:" + Long(64) + "||"}}, {562, 145}},
        {{{"PTP\\In_Passwords", "m:a|" + Long(64) + "||"}, {"Ptp_Password", "s:" + Long(64)}}, {565, 148}},
        {{{"Ptp_Password", "s:" + Long(64)}}, {568, 149}},
        {{{"Secondary_Info", "s:/modem /phones:\"" + Long(239, '5')}}, {IDC_DIAL, IDS_SECONDARY_INFO_LONG}},
        {{{"Secondary_Info", "s:/mode:\"9600,n,8,1,x\" /phones:\"" + Long(190, '5') + "\""},
          {"Ptp_Performance", "d:0"},
          {"Nic", "s:COM7"},
          {"Ptp_Dnets", "m:1|65534||"},
          {"PTP\\In_Passwords", "m:" + Long(63) + "||"},
          {"Ptp_Password", "s:" + Long(63)}},
         {0, 0}},
    };
    SerialPort7 com7;
    for (const auto& row : rows) {
        auto port = Load<PtpPort>(With({{"Port", "d:1"}}, row.stored));
        std::pair<int, int> failure = {0, 0};
        port->Validate(failure.first, failure.second);
        EXPECT_EQ(row.failure, failure) << port->GetSecondaryInfo();
    }
}

TEST(PtpPortRegistry, SameComPortIsTheSamePort)
{
    const struct {
        Values first, second;
        bool same;
    } rows[] = {
        {{{"Port", "d:1"}}, {{"Port", "d:2"}}, true},
        {{{"Port", "d:1"}}, {{"Port", "d:2"}, {"Nic", "s:com1"}}, false},
        {{{"Port", "d:1"}, {"Nic", "s:COM2"}}, {{"Port", "d:1"}}, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.same, Load<PtpPort>(row.first)->IsSamePort(*Load<PtpPort>(row.second)));
    EXPECT_FALSE(PtpPort().IsSamePort(*Load<OhttpPtpPort>({{"Port", "d:1"}})));

    // A copy keeps every value; a copy of another kind is a new port.
    auto rich = Load<PtpPort>({{"Port", "d:9"},
                               {"Connected", "d:0"},
                               {"Nic", "s:COM2"},
                               {"Secondary_Info", "s:/mode:\"4800\" /modem /phones:\"1\""},
                               {"Ptp_Dnets", "m:5|6||"},
                               {"PTP\\In_Passwords", "m:a|bb||"},
                               {"Ptp_Password", "s:pw"},
                               {"Ptp_Permanent", "d:1"},
                               {"Ptp_Performance", "d:7"}});
    PtpPort copy;
    EXPECT_EQ(Saved(*rich), Saved(copy.CopyFrom(*rich)));
    copy.CopyFrom(OhttpPtpPort());
    EXPECT_EQ(Saved(PtpPort()), Saved(copy));
}

// What the dialog shows of a stored port, and what COPY and OK keep of it.
TEST(PtpPortDialog, InitDialogShowsThePort)
{
    SerialPort7 com7;
    const struct {
        Values stored;
        int comSelection;
        std::string enabled;  // 561 COM..., 573 Dial, 563 and 564, 566 and 567
        Texts hidden;         // 571, 572, 568, 569
        Texts networks, passwords;
    } rows[] = {
        {{}, 0, "100000", {"9600,n,8,1", " /retries:1 /interval:0 /rings:1", "", "255"}, {}, {}},
        {{{"Nic", "s:COM7"},
          {"Secondary_Info", "s:/mode:\"4800,o,7,2\" /modem /phones:\"9,w1\""},
          {"Ptp_Dnets", "m:3|0x10|0||"},
          {"PTP\\In_Passwords", "m:a|" + Long(70) + "||"},
          {"Ptp_Password", "s:out"},
          {"Ptp_Performance", "d:0xFFFFFFFF"}},
         1,
         "110101",
         {"4800,o,7,2", "/phones:\"9,w1\" /retries:1 /interval:0 /rings:1", "out", "4294967295"},
         {"3", "16", "0"},
         {"a", Long(70)}},
        {{{"Nic", "s:com7"}},
         -1,
         "000000",
         {"9600,n,8,1", " /retries:1 /interval:0 /rings:1", "", "255"},
         {},
         {}},
    };
    for (const auto& row : rows) {
        auto port = Load<PtpPort>(row.stored);
        PtpDialog dialog(*port);
        EXPECT_EQ((Texts{"COM1", "COM7"}), dialog.Items(IDC_COM_PORT));
        EXPECT_EQ(row.comSelection, SendDlgItemMessageA(dialog.window, IDC_COM_PORT, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(row.enabled, dialog.Enabled({561, 573, 563, 564, 566, 567}));
        EXPECT_EQ(row.hidden, (Texts{ControlText(dialog.window, 571), ControlText(dialog.window, 572),
                                     ControlText(dialog.window, 568), ControlText(dialog.window, 569)}));
        EXPECT_EQ(row.networks, dialog.Items(IDC_NETWORK_LIST));
        EXPECT_EQ(row.passwords, dialog.Items(IDC_PASSWORD_LIST));
        if (row.comSelection < 0)
            continue;  // OK would take no COM port
        std::unique_ptr<Port> made(port->CreateFromDialog(dialog.window));
        Values saved = Saved(*port), remade = Saved(*made);
        saved.erase("Secondary_Info"), remade.erase("Secondary_Info");  // /MODE after an edit
        EXPECT_EQ(saved, remade);
    }
}

TEST(PtpPortDialog, TypedTextsMakeAPortOrNameTheFailingControl)
{
    const std::string longDial = "/phones:\"" + Long(240, '5') + "\"";
    const std::string newInfo = std::string("s:/MODE:\"9600,n,8,1\" ") + PtpPort::DefaultDialParameters;
    const struct {
        std::vector<std::pair<int, std::string>> typed;  // a list's Add button adds the text
        Values result;  // accepted: the values saved that differ from the defaults; refused: the control
    } rows[] = {
        {{{510, "5"}}, {{"Port", "d:5"}, {"Secondary_Info", newInfo}}},
        {{{510, "5"}, {569, ""}, {IDC_MODEM, "1"}, {572, "/phones:\"1\""}, {571, "9600,n,8,1,p"}, {568, "o"}},
         {{"Port", "d:5"},
          {"Ptp_Performance", "d:0"},
          {"Ptp_Password", "s:o"},
          {"Secondary_Info", "s:/MODE:\"9600,n,8,1,p\" /modem /phones:\"1\""}}},
        {{{510, "5"}, {563, "0x10"}, {563, "7"}, {566, "p1"}, {566, Long(63)}},
         {{"Port", "d:5"},
          {"Ptp_Dnets", "m:16|7||"},
          {"PTP\\In_Passwords", "m:p1|" + Long(63) + "||"},
          {"Secondary_Info", newInfo}}},
        {{{510, "300"}}, {{"control", "510/145"}}},
        {{{510, "5"}, {569, "256"}}, {{"control", "569/145"}}},
        {{{510, "5"}, {IDC_COM_PORT, "-1"}}, {{"control", "560/145"}}},
        {{{510, "5"}, {571, "9600,q,8,1"}}, {{"control", "561/146"}}},
        {{{510, "5"}, {563, "7"}, {563, "70000"}}, {{"control", "562/145"}}},
        {{{510, "5"}, {IDC_MODEM, "1"}, {572, longDial}}, {{"control", "573/174"}}},
    };
    for (const auto& row : rows) {
        PtpPort edited;
        PtpDialog dialog(edited);
        for (const auto& [control, text] : row.typed) {
            if (control == IDC_MODEM)
                CheckDlgButton(dialog.window, control, BST_CHECKED);
            else if (control == IDC_COM_PORT)
                SendDlgItemMessageA(dialog.window, control, CB_SETCURSEL, std::stoi(text), 0);
            else if (control == IDC_NETWORK_ADD || control == IDC_PASSWORD_ADD)
                dialog.AddItem(control - 1, text.c_str());
            else
                SetDlgItemTextA(dialog.window, control, text.c_str());
        }
        std::unique_ptr<Port> made(edited.CreateFromDialog(dialog.window));
        int control = 0, message = 0;
        Values result;
        if (made->Validate(control, message)) {
            for (const auto& [name, value] : Saved(*made))
                if (SavedDefaults.count(name) == 0 || SavedDefaults.at(name) != value)
                    result[name] = value;
        } else {
            result["control"] = std::to_string(control) + "/" + std::to_string(message);
        }
        EXPECT_EQ(row.result, result);
    }
}

// The COM port list enables the settings button, Modem the Dial button; a
// listed control's other notifications are not handled.
TEST(PtpPortDialog, ControlsEnableTheirButtons)
{
    auto port = Load<PtpPort>({{"Nic", "s:none"}});
    PtpDialog dialog(*port);
    const struct {
        int control, select;
        WORD notification;
        INT_PTR answer;
        std::string enabled;  // 561, 573
    } steps[] = {
        {IDC_COM_PORT, 0, CBN_DROPDOWN, FALSE, "00"},
        {IDC_COM_PORT, -1, CBN_SELENDOK, TRUE, "00"},
        {IDC_COM_PORT, 0, CBN_SELENDOK, TRUE, "10"},
        {IDC_COM_PORT, -1, CBN_SELENDOK, TRUE, "10"},
        {IDC_MODEM, BST_CHECKED, BN_CLICKED, TRUE, "11"},
        {IDC_MODEM, BST_UNCHECKED, BN_DOUBLECLICKED, FALSE, "11"},
        {IDC_MODEM, BST_UNCHECKED, BN_CLICKED, TRUE, "10"},
    };
    for (const auto& step : steps) {
        if (step.control == IDC_COM_PORT)
            SendDlgItemMessageA(dialog.window, step.control, CB_SETCURSEL, step.select, 0);
        else
            CheckDlgButton(dialog.window, step.control, step.select);
        EXPECT_EQ(step.answer, dialog.Command(step.control, step.notification));
        EXPECT_EQ(step.enabled, dialog.Enabled({561, 573})) << step.control << " " << step.notification;
    }
}

// The list editor on the incoming passwords, a, b and c at first.
TEST(PtpPortDialog, ListEditorAddsAndRemoves)
{
    auto port = Load<PtpPort>({{"PTP\\In_Passwords", "m:a|b|c||"}});
    PtpDialog dialog(*port);
    const struct {
        int control;
        const char* text;  // typed before the command; the selection before Remove
        Texts items;
        int selection;
        std::string enabled;  // Add, Remove
    } steps[] = {
        {IDC_PASSWORD_LIST, "x", {"a", "b", "c"}, -1, "11"},
        {IDC_PASSWORD_LIST, "", {"a", "b", "c"}, -1, "01"},
        {IDC_PASSWORD_ADD, "", {"a", "b", "c"}, -1, "01"},
        {IDC_PASSWORD_ADD, "x", {"a", "b", "c", "x"}, 3, "01"},
        {IDC_PASSWORD_REMOVE, "1", {"a", "c", "x"}, 1, "01"},
        {IDC_PASSWORD_REMOVE, "2", {"a", "c"}, 1, "01"},
        {IDC_PASSWORD_REMOVE, "-1", {"a", "c"}, -1, "01"},
        {IDC_PASSWORD_REMOVE, "0", {"c"}, 0, "01"},
        {IDC_PASSWORD_REMOVE, "0", {}, -1, "00"},
    };
    for (const auto& step : steps) {
        if (step.control == IDC_PASSWORD_REMOVE)
            SendDlgItemMessageA(dialog.window, IDC_PASSWORD_LIST, CB_SETCURSEL, std::stoi(step.text), 0);
        else
            SetDlgItemTextA(dialog.window, IDC_PASSWORD_LIST, step.text);
        WORD notification = step.control == IDC_PASSWORD_LIST ? CBN_EDITCHANGE : BN_CLICKED;
        EXPECT_EQ(TRUE, dialog.Command(step.control, notification));
        EXPECT_EQ(step.items, dialog.Items(IDC_PASSWORD_LIST)) << step.control << " " << step.text;
        EXPECT_EQ(step.selection, SendDlgItemMessageA(dialog.window, IDC_PASSWORD_LIST, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(step.enabled, dialog.Enabled({IDC_PASSWORD_ADD, IDC_PASSWORD_REMOVE}));
    }
}
