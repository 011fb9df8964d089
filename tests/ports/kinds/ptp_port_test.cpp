// The serial point-to-point port: stored, shown, saved, checked, and dialog 505.
#include <gtest/gtest.h>

#include "ports/kinds/ptp_port.h"
#include "ports/kinds/ptp_values.h"

const std::string Info = "/mode:\"9600,n,8,1\"  /retries:1 /interval:0 /rings:1", P63(63, 'p'), P64(64, 'p');
const Values Defaults =
    V("Connected=d:1;Nic=s:COM1;PTP\\In_Passwords=m:|;Port=d:0;Protocol=d:2;Ptp_Password=s:;"
      "Ptp_Performance=d:255;Ptp_Permanent=d:0;Type=d:2;Secondary_Info=s:" +
      Info);

// Declared by the system headers only for Windows Vista and later; Wine has it.
extern "C" __declspec(dllimport) LONG WINAPI RegDeleteKeyValueA(HKEY key, LPCSTR subkey, LPCSTR name);

// COM7 listed among the serial ports (after COM1) for the length of a scope.
struct SerialPort7 {
    SerialPort7() { SetString(HKEY_LOCAL_MACHINE, Key, "TolmarinTest", "COM7"); }
    ~SerialPort7() { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, Key, "TolmarinTest"); }
    static constexpr char Key[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
};

// Stored values and the values saved where they differ from a new port's: narrowing, lists with and
// without their closing NULs, texts too long.
TEST(PtpPort, StoredSavedCheckedAndEdited)
{
    std::string huge;
    for (int i = 0; i < 20000; ++i)
        huge += std::to_string(i % 65534 + 1) + "|";
    const std::pair<std::string, std::string> rows[] = {
        {"Port=d:0x1FF;Connected=d:0;Ptp_Permanent=d:7;Ptp_Performance=d:0xFFFFFFFF;Nic=s:com1",
         "Port=d:255;Connected=d:0;Ptp_Permanent=d:1;Ptp_Performance=d:4294967295;Nic=s:com1"},
        {"Ptp_Dnets=m:5|0x10|017|abc|65535||;PTP\\In_Passwords=m:a|bb||;Ptp_Password=s:" + P64,
         "Ptp_Dnets=m:5|16|15|0|0||;PTP\\In_Passwords=m:a|bb||;Ptp_Password=s:" + P64},
        {"Ptp_Dnets=m:7;PTP\\In_Passwords=m:abc", "Ptp_Dnets=m:7||;PTP\\In_Passwords=m:abc||"},
        {"Ptp_Dnets=m:" + huge + "|;Ptp_Password=s:" + std::string(256, 'p') +
             ";Secondary_Info=s:" + std::string(256, 's'),
         "Ptp_Dnets=m:" + huge + "|"},
        {"Ptp_Dnets=m:||", ""},
    };
    EXPECT_EQ(Defaults, Saved(*Load<PtpPort>("")));
    EXPECT_EQ(std::string("/MODE:\"9600,n,8,1\" ") + PtpPort::DefaultDialParameters,
              PtpPort().GetSecondaryInfo());
    for (const auto& [stored, changed] : rows)
        EXPECT_EQ(V(changed), Saved(*Load<PtpPort>(stored), Defaults)) << stored.substr(0, 40);

    // Each check in its order; the stored values pass alone with port id 1.
    const std::pair<std::string, std::string> checks[] = {
        {"Port=d:0;Ptp_Performance=d:256", "510/145"},
        {"Ptp_Performance=d:256;Nic=s:COM9", "569/145"},
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
    for (const auto& [stored, failure] : checks)
        EXPECT_EQ(failure, Failure(*Load<PtpPort>("Port=d:1;" + stored))) << stored;

    // The dialog on a stored port, texts typed (Add buttons add to their list): the values saved where they
    // differ from the defaults ("same": as the stored port saves them, with /MODE), or the failure.
    const std::string info = "Secondary_Info=s:/MODE:\"9600,n,8,1\" " + Info.substr(19);
    const std::string rich =
        "Port=d:5;Nic=s:COM7;Secondary_Info=s:/mode:\"4800,o,7,2\" /modem /phones:\"9,w1\";"
        "Ptp_Dnets=m:3|0x10||;PTP\\In_Passwords=m:a|" +
        P63 + "||;Ptp_Password=s:out;Ptp_Performance=d:7;Ptp_Permanent=d:1;Connected=d:0";
    const struct {
        std::string stored;
        Typed typed;
        std::string result;
    } edits[] = {
        {"", {{510, "5"}}, "Port=d:5;" + info},
        {rich, {}, "same"},
        {"Nic=s:com7;Ptp_Performance=d:0xFFFFFFFF", {{510, "5"}}, "failure=569/145"},
        {"",
         {{510, "5"}, {569, ""}, {IDC_MODEM, "+"}, {572, "/phones:\"1\""}, {571, "9600,n,8,1,p"}, {568, "o"}},
         "Port=d:5;Ptp_Performance=d:0;Ptp_Password=s:o;Secondary_Info=s:/MODE:\"9600,n,8,1,p\" /modem "
         "/phones:\"1\""},
        {"Port=d:5",
         {{562, "0x10"}, {563, "+"}, {562, "7"}, {563, "+"}, {565, "p1"}, {566, "+"}, {565, P63}, {566, "+"}},
         "Port=d:5;Ptp_Dnets=m:16|7||;PTP\\In_Passwords=m:p1|" + P63 + "||;" + info},
        {"", {{510, "300"}}, "failure=510/145"},
        {"",
         {{510, "5"}, {IDC_MODEM, "+"}, {572, "/phones:\"" + std::string(240, '5') + "\""}},
         "failure=573/174"},
    };
    for (const auto& row : edits) {
        auto port = Load<PtpPort>(row.stored);
        auto made = Edited(*port, IDD_PTP_PORT, PtpPortDialogProc, row.typed);
        std::string failure = Failure(*made);
        Values expected = row.result == "same" ? Saved(*port, Defaults) : V(row.result);
        if (row.result == "same")
            expected["Secondary_Info"].replace(2, 5, "/MODE");
        EXPECT_EQ(expected, (failure == "valid" ? Saved(*made, Defaults) : V("failure=" + failure)));
    }
}
