// The serial point-to-point port: its stored values read, shown and saved,
// its checks, its duplicates, and dialog 505 without a modal loop.
#include <gtest/gtest.h>

#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/kinds/ptp_port.h"
#include "ports/kinds/ptp_values.h"
#include "support/dialog_driver.h"

namespace {

const std::string Info = "/mode:\"9600,n,8,1\"  /retries:1 /interval:0 /rings:1", P63(63, 'p'), P64(64, 'p');
const Values Defaults =
    V("Connected=d:1;Nic=s:COM1;PTP\\In_Passwords=m:|;Port=d:0;Protocol=d:2;Ptp_Password=s:;"
      "Ptp_Performance=d:255;Ptp_Permanent=d:0;Type=d:2;Secondary_Info=s:" +
      Info);

// COM7 listed among the serial ports (after COM1) for the length of a scope.
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
    explicit PtpDialog(const Values& stored) : port(Load<PtpPort>(stored)) {}
    INT_PTR Command(int id, WORD code) const
    {
        return PtpPortDialogProc(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }
    int Selection(int id) const { return int(SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0)); }
    void Select(int id, int index) const { SendDlgItemMessageA(window, id, CB_SETCURSEL, WPARAM(index), 0); }
    std::unique_ptr<PtpPort> port;
    Modeless modeless{IDD_PTP_PORT, PtpPortDialogProc, port.get()};
    HWND window = modeless.window;
};

}  // namespace

TEST(PtpPortRegistry, StoredShownSaved)
{
    std::string huge;
    for (int i = 0; i < 20000; ++i)
        huge += std::to_string(i % 65534 + 1) + "|";
    const struct {
        std::string stored;
        Texts shown;          // port id, attached, network, NIC, secondary info
        std::string changed;  // saved where it differs from the defaults
    } rows[] = {
        {"Port=d:0x1FF;Connected=d:0;Ptp_Permanent=d:7;Ptp_Performance=d:0xFFFFFFFF;Nic=s:com1;Ptp_Password="
         "s:" +
             P64,
         {"255", "No", "n/a", "com1", Info},
         "Port=d:255;Connected=d:0;Ptp_Permanent=d:1;Ptp_Performance=d:4294967295;Nic=s:com1;Ptp_Password="
         "s:" +
             P64},
        {"Ptp_Dnets=m:5|0x10|017|abc|65535||;PTP\\In_Passwords=m:a|bb||",
         {"0", "Yes", "n/a", "COM1", Info},
         "Ptp_Dnets=m:5|16|15|0|0||;PTP\\In_Passwords=m:a|bb||"},
        {"Ptp_Dnets=m:7;PTP\\In_Passwords=m:abc;Nic=s:" + std::string(255, 'C'),
         {"0", "Yes", "n/a", std::string(255, 'C'), Info},
         "Ptp_Dnets=m:7||;PTP\\In_Passwords=m:abc||;Nic=s:" + std::string(255, 'C')},
        {"Ptp_Dnets=m:" + huge + "|;Ptp_Password=s:" + std::string(256, 'p') +
             ";Secondary_Info=s:" + std::string(256, 's'),
         {"0", "Yes", "n/a", "COM1", Info},
         "Ptp_Dnets=m:" + huge + "|"},
        {"Ptp_Dnets=m:||", {"0", "Yes", "n/a", "COM1", Info}, ""},
    };
    EXPECT_EQ(Defaults, Saved(*Load<PtpPort>({})));
    EXPECT_EQ((Texts{"0", "Yes", "n/a", "COM1",
                     std::string("/MODE:\"9600,n,8,1\" ") + PtpPort::DefaultDialParameters}),
              ListTexts(PtpPort()));
    for (const auto& row : rows) {
        auto port = Load<PtpPort>(V(row.stored));
        EXPECT_EQ(row.shown, ListTexts(*port));
        EXPECT_EQ(V(row.changed), Saved(*port, Defaults));
    }
}

// Each check in its order; the stored values pass alone with port id 1.
TEST(PtpPortRegistry, ValidateNamesTheFirstFailingControl)
{
    const struct {
        std::string stored, failure;
    } rows[] = {
        {"Port=d:0;Ptp_Performance=d:256", "510/145"},
        {"Ptp_Performance=d:256;Nic=s:COM9", "569/145"},
        {"Ptp_Performance=d:0xFFFFFFFF", "569/145"},
        {"Nic=s:com1;Secondary_Info=s:/mode:\"bad\"", "560/145"},
        {"Secondary_Info=s:/mode:\"bad\";Ptp_Dnets=m:0||", "561/146"},
        {"Ptp_Dnets=m:5|70000||;PTP\\In_Passwords=m:" + P64 + "||", "562/145"},
        {"PTP\\In_Passwords=m:a|" + P64 + "||;Ptp_Password=s:" + P64, "565/148"},
        {"Ptp_Password=s:" + P64, "568/149"},
        {"Secondary_Info=s:/modem /phones:\"" + std::string(239, '5'), "573/174"},
        {"Secondary_Info=s:/mode:\"9600,n,8,1,x\" /phones:\"" + std::string(190, '5') +
             "\";Ptp_Performance=d:0;Nic=s:COM7;Ptp_Dnets=m:1|65534||;PTP\\In_Passwords=m:" + P63 +
             "||;Ptp_Password=s:" + P63,
         "valid"},
    };
    SerialPort7 com7;
    for (const auto& row : rows)
        EXPECT_EQ(row.failure, Failure(*Load<PtpPort>(V("Port=d:1;" + row.stored))));
}

// Ports on the same COM port are the same, whatever their ids; a copy keeps
// every value, a copy of another kind is a new port.
TEST(PtpPortRegistry, DuplicatesAndCopies)
{
    const struct {
        std::string first, second;
        bool same;
    } rows[] = {
        {"Port=d:1", "Port=d:2", true},
        {"Port=d:1", "Port=d:2;Nic=s:com1", false},
        {"Port=d:1;Nic=s:COM2", "Port=d:1", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.same, Load<PtpPort>(V(row.first))->IsSamePort(*Load<PtpPort>(V(row.second))));
    EXPECT_FALSE(PtpPort().IsSamePort(*Load<OhttpPtpPort>(V("Port=d:1"))));

    auto rich =
        Load<PtpPort>(V("Port=d:9;Connected=d:0;Nic=s:COM2;Secondary_Info=s:/mode:\"4800\" /modem "
                        "/phones:\"1\";Ptp_Dnets=m:5|6||;PTP\\In_Passwords=m:a|bb||;Ptp_Password=s:pw;"
                        "Ptp_Permanent=d:1;Ptp_Performance=d:7"));
    PtpPort copy;
    EXPECT_EQ(Saved(*rich), Saved(copy.CopyFrom(*rich)));
    EXPECT_EQ(Saved(PtpPort()), Saved(copy.CopyFrom(OhttpPtpPort())));
}

// Each row opens the dialog on a stored port (COM7 listed after COM1), reads
// what it shows, types, and builds a port: accepted, the values saved where
// they differ from the defaults ("same": as the stored port saves them, with
// /MODE); refused, the failure.
TEST(PtpPortDialog, ShownAndTypedTextsMakeAPortOrNameTheFailingControl)
{
    SerialPort7 com7;
    const std::string info = "Secondary_Info=s:/MODE:\"9600,n,8,1\" " + Info.substr(19);
    const std::string rich =
        "Port=d:5;Nic=s:COM7;Secondary_Info=s:/mode:\"4800,o,7,2\" /modem /phones:\"9,w1\";"
        "Ptp_Dnets=m:3|0x10||;PTP\\In_Passwords=m:a|" +
        P63 +
        "||;Ptp_Password=s:out;"
        "Ptp_Performance=d:7;Ptp_Permanent=d:1;Connected=d:0";
    const struct {
        std::string stored, shown;  // shown: COM port selected; 561, 573, 564, 567 enabled; 571; 569
        std::vector<std::pair<int, std::string>> typed;  // Add buttons add the text to their list
        std::string result;
    } rows[] = {
        {"", "0 1000 9600,n,8,1 255", {{510, "5"}}, "Port=d:5;" + info},
        {rich, "1 1111 4800,o,7,2 7", {}, "same"},
        {"Nic=s:com7;Ptp_Performance=d:0xFFFFFFFF",
         "-1 0000 9600,n,8,1 4294967295",
         {{510, "5"}},
         "failure=569/145"},
        {"",
         "0 1000 9600,n,8,1 255",
         {{510, "5"}, {569, ""}, {IDC_MODEM, "1"}, {572, "/phones:\"1\""}, {571, "9600,n,8,1,p"}, {568, "o"}},
         "Port=d:5;Ptp_Performance=d:0;Ptp_Password=s:o;Secondary_Info=s:/MODE:\"9600,n,8,1,p\" /modem "
         "/phones:\"1\""},
        {"",
         "0 1000 9600,n,8,1 255",
         {{510, "5"}, {563, "0x10"}, {563, "7"}, {566, "p1"}, {566, P63}},
         "Port=d:5;Ptp_Dnets=m:16|7||;PTP\\In_Passwords=m:p1|" + P63 + "||;" + info},
        {"", "0 1000 9600,n,8,1 255", {{510, "300"}}, "failure=510/145"},
        {"", "0 1000 9600,n,8,1 255", {{510, "5"}, {IDC_COM_PORT, "-1"}}, "failure=560/145"},
        {"", "0 1000 9600,n,8,1 255", {{510, "5"}, {571, "9600,q,8,1"}}, "failure=561/146"},
        {"", "0 1000 9600,n,8,1 255", {{510, "5"}, {563, "7"}, {563, "70000"}}, "failure=562/145"},
        {"",
         "0 1000 9600,n,8,1 255",
         {{510, "5"}, {IDC_MODEM, "1"}, {572, "/phones:\"" + std::string(240, '5') + "\""}},
         "failure=573/174"},
    };
    for (const auto& row : rows) {
        PtpDialog dialog(V(row.stored));
        EXPECT_EQ((Texts{"COM1", "COM7"}), ComboItems(GetDlgItem(dialog.window, IDC_COM_PORT)));
        EXPECT_EQ(row.shown, std::to_string(dialog.Selection(IDC_COM_PORT)) + " " +
                                 Enabled(dialog.window, {561, 573, 564, 567}) + " " +
                                 ControlText(dialog.window, 571) + " " + ControlText(dialog.window, 569));
        for (const auto& [control, text] : row.typed) {
            if (control == IDC_MODEM)
                CheckDlgButton(dialog.window, control, BST_CHECKED);
            else if (control == IDC_COM_PORT)
                dialog.Select(control, std::stoi(text));
            else if (control == IDC_NETWORK_ADD || control == IDC_PASSWORD_ADD)
                SetDlgItemTextA(dialog.window, control - 1, text.c_str()),
                    dialog.Command(control, BN_CLICKED);
            else
                SetDlgItemTextA(dialog.window, control, text.c_str());
        }
        std::unique_ptr<Port> made(dialog.port->CreateFromDialog(dialog.window));
        std::string failure = Failure(*made);
        Values expected = V(row.result);
        if (row.result == "same") {
            expected = Saved(*dialog.port, Defaults);
            expected["Secondary_Info"].replace(2, 5, "/MODE");
        }
        EXPECT_EQ(expected, (failure == "valid" ? Saved(*made, Defaults) : V("failure=" + failure)));
    }
}
