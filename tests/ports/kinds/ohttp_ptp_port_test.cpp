// The HTTP point-to-point port: stored, shown, saved, checked, duplicates, and dialog 508.
#include <gtest/gtest.h>

#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/kinds/ptp_port.h"
#include "ports/kinds/ptp_values.h"

// The stored "Nic" kept as it was, shown as NIC and secondary info, and checked; saved narrowed.
TEST(OhttpPtpPort, StoredShownSavedCheckedAndEdited)
{
    const std::string client = "-client:3 -server_port:80",
                      damaged = "-client:5 -server_host:\"" + std::string(231, 'h'),
                      rich = "Port=d:0x102;Ptp_Permanent=d:2;Ptp_Performance=d:0xFFFFFFFF;Type=d:7;Nic=s:" +
                             client;
    const std::pair<std::string, std::string> rows[] = {
        {"", "|510/145"},
        {rich + ";Ptp_Dnets=m:5|0x10|0||", client + "|569/145"},
        {"Port=d:1;Nic=s:-client:0;Ptp_Dnets=m:0||", "-client:0|575/145"},
        {"Port=d:1;Nic=s:-client:3 -server_host:\"a-server\"", "-client:3 -server_host:\"a-server\"|575/145"},
        {"Port=d:1;Nic=s:-client:3;Ptp_Dnets=m:1|65535||", "-client:3|562/145"},
        {"Port=d:1;Ptp_Performance=d:0;Ptp_Dnets=m:1|65534||", "|valid"},
        {"Port=d:1;Nic=s:" + damaged, damaged + "|valid"},
    };
    for (const auto& [stored, shown] : rows) {
        auto port = Load<OhttpPtpPort>(stored);
        EXPECT_EQ(shown, port->GetNicText() + ("|" + Failure(*port)));
        EXPECT_STREQ(port->GetNicText(), port->GetSecondaryInfo());
    }
    EXPECT_EQ(V("Connected=d:1;Nic=s:;Port=d:0;Protocol=d:9;Ptp_Performance=d:255;Ptp_Permanent=d:0;Type=d:2;"
                "Secondary_Info=s:"),
              Saved(*Load<OhttpPtpPort>("")));
    EXPECT_EQ(V("Connected=d:1;Nic=s:" + client +
                ";Port=d:2;Protocol=d:9;Ptp_Dnets=m:5|16|0||;Ptp_Performance=d:4294967295;"
                "Ptp_Permanent=d:1;Secondary_Info=s:" +
                client + ";Type=d:2"),
              Saved(*Load<OhttpPtpPort>(rich + ";Ptp_Dnets=m:5|0x10|0||")));
}

// Serial ports (S) on one COM port, HTTP ports (H) of one role and id are the same; two kinds never.
// A copy keeps every value; a copy of the other kind is a new port.
TEST(PtpKinds, DuplicatesAndCopies)
{
    auto make = [](char kind, const std::string& stored) -> std::unique_ptr<Port> {
        return kind == 'S' ? Load<PtpPort>(stored) : std::unique_ptr<Port>(Load<OhttpPtpPort>(stored));
    };
    const std::tuple<char, std::string, char, std::string, bool> pairs[] = {
        {'S', "", 'S', "", true},
        {'S', "", 'S', "Nic=s:com1", false},
        {'S', "", 'H', "", false},
        {'H', "", 'S', "", false},
        {'H', "Nic=s:-client:7", 'H', "Nic=s:-client:7 -server_port:9", true},
        {'H', "Nic=s:-client:7", 'H', "Nic=s:-server:7", false},
        {'H', "Nic=s:-server:1 -port:5", 'H', "Nic=s:", true},
        {'H', "Nic=s:-server:1", 'H', "Nic=s:-server:2", false},
    };
    for (const auto& [kind, stored, otherKind, other, same] : pairs)
        EXPECT_EQ(same, make(kind, "Port=d:1;" + stored)->IsSamePort(*make(otherKind, "Port=d:2;" + other)))
            << stored << " / " << other;
    const std::pair<char, std::string> rich[] = {
        {'S',
         "Port=d:9;Connected=d:0;Nic=s:COM2;Secondary_Info=s:/mode:\"4800\" /modem /phones:\"1\";"
         "Ptp_Permanent=d:1;Ptp_Dnets=m:5|6||;PTP\\In_Passwords=m:a|bb||;Ptp_Password=s:pw;Ptp_Performance=d:"
         "7"},
        {'H',
         "Port=d:4;Ptp_Permanent=d:1;Ptp_Performance=d:3;Nic=s:-client:3 -server_port:80;Ptp_Dnets=m:5||"}};
    auto fresh = [](char kind) {
        return kind == 'S' ? std::unique_ptr<Port>(new PtpPort) : std::unique_ptr<Port>(new OhttpPtpPort);
    };
    for (const auto& [kind, stored] : rich) {
        auto copy = fresh(kind);
        EXPECT_EQ(Saved(*make(kind, stored)), Saved(copy->CopyFrom(*make(kind, stored))));
        EXPECT_EQ(Saved(*fresh(kind)), Saved(copy->CopyFrom(*fresh(kind == 'S' ? 'H' : 'S'))));
    }

    // The dialog on a stored "Nic", Client (640) or Server (641) chosen, texts typed: the NIC or the failure.
    const std::string host(130, 'h'), proxy(131, 'x'), gw = "-client:7 -server_port:80 -server_host:\"gw\"";
    const struct {
        std::string stored;
        Typed typed;
        std::string result;
    } edits[] = {
        {"", {}, "-server:1 -port:1"},
        {"-client:3 -server_port:80 -proxy_host:\"px\"",
         {},
         "-client:3 -server_port:80 -server_host:\"\" -proxy_host:\"px\" -proxy_port:1"},
        {"-server:9 -port:-1 -host:\"h\"", {}, "-server:9 -port:-1 -host:\"h\""},
        {"",
         {{641, "-"}, {640, "+"}, {575, "7"}, {642, "80"}, {643, "gw"}, {645, "px"}, {644, "0"}},
         gw + " -proxy_host:\"px\""},
        {"",
         {{641, "-"}, {640, "+"}, {640, "-"}, {641, "+"}, {575, "7"}, {643, "gw"}, {645, "px"}},
         "-server:7 -port:1 -host:\"gw\""},
        {"", {{575, "4294967295"}, {642, ""}}, "-server:4294967295 -port:0"},
        {"", {{569, "256"}, {575, ""}}, "569/145"},
        {"", {{641, "-"}, {640, "+"}, {643, host}, {645, proxy}}, "645/175"},
        {"", {{641, "-"}, {640, "+"}, {643, proxy}, {645, host}}, "643/175"},
    };
    for (const auto& row : edits) {
        auto made = Edited(*Load<OhttpPtpPort>("Port=d:5;Nic=s:" + row.stored), IDD_OHTTP_PTP_PORT,
                           OhttpPtpPortDialogProc, row.typed);
        std::string failure = Failure(*made);
        EXPECT_EQ(row.result, failure == "valid" ? made->GetNicText() : failure);
    }
}
