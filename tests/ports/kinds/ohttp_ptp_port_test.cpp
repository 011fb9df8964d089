// The HTTP point-to-point port: its stored values read, shown and saved,
// its checks, its duplicates, and dialog 508 without a modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/kinds/ptp_port.h"
#include "registry/reg_key.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

namespace {

using Texts = std::vector<std::string>;
using Dwords = std::map<std::string, DWORD>;

struct Stored {
    Dwords numbers;
    std::string nic;    // "-" for none
    std::string dnets;  // '|' for each NUL; "" for none
};

std::unique_ptr<OhttpPtpPort> Load(const Stored& stored)
{
    RegistrySandbox entry("TolmarinHttpIn");
    for (const auto& [name, value] : stored.numbers)
        SetDword(HKEY_CURRENT_USER, entry.Path(), name.c_str(), value);
    if (stored.nic != "-")
        SetString(HKEY_CURRENT_USER, entry.Path(), "Nic", stored.nic);
    std::string dnets = stored.dnets;
    std::replace(dnets.begin(), dnets.end(), '|', '\0');
    if (!dnets.empty())
        SetRaw(HKEY_CURRENT_USER, entry.Path(), "Ptp_Dnets", REG_MULTI_SZ, dnets.data(), DWORD(dnets.size()));
    return std::make_unique<OhttpPtpPort>(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// Every value saved, as name=number or name=text, '|' for each NUL.
Texts Saved(const Port& port)
{
    RegistrySandbox saved("TolmarinHttpOut");
    EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
    Texts values;
    for (const std::string& name : SortedValueNames(HKEY_CURRENT_USER, saved.Path())) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, saved.Path(), name.c_str(), &type, &data);
        std::string text(data.begin(), data.end());
        std::replace(text.begin(), text.end(), '\0', '|');
        values.push_back(name + "=" +
                         (type == REG_DWORD
                              ? std::to_string(GetDword(HKEY_CURRENT_USER, saved.Path(), name.c_str()))
                              : text));
    }
    return values;
}

}  // namespace

TEST(OhttpPtpPortRegistry, StoredShownSaved)
{
    const std::string client = "-client:3 -server_port:80";
    const struct {
        Stored stored;
        Texts shown;  // port id, attached, network, NIC, secondary info
        Texts saved;
    } rows[] = {
        {{{}, "-", ""},
         {"0", "Yes", "n/a", "", ""},
         {"Connected=1", "Nic=|", "Port=0", "Protocol=9", "Ptp_Performance=255", "Ptp_Permanent=0",
          "Secondary_Info=|", "Type=2"}},
        {{{{"Port", 0x102}, {"Ptp_Permanent", 2}, {"Ptp_Performance", 0xFFFFFFFF}, {"Type", 7}},
          client,
          "5|0x10|0||"},
         {"2", "Yes", "n/a", client, client},
         {"Connected=1", "Nic=" + client + "|", "Port=2", "Protocol=9", "Ptp_Dnets=5|16|0||",
          "Ptp_Performance=4294967295", "Ptp_Permanent=1", "Secondary_Info=" + client + "|", "Type=2"}},
    };
    for (const auto& row : rows) {
        auto port = Load(row.stored);
        EXPECT_EQ(row.shown, (Texts{port->GetPortIdText(), port->GetAttachedText(), port->GetNetworkText(),
                                    port->GetNicText(), port->GetSecondaryInfo()}));
        EXPECT_EQ(row.saved, Saved(*port));
    }
}

// The checks in order, and the duplicates: same role and same id.
TEST(OhttpPtpPortRegistry, ValidateAndDuplicates)
{
    const struct {
        Stored stored;
        std::pair<int, int> failure;  // control, message; 0, 0 when valid
    } rows[] = {
        {{{{"Ptp_Performance", 256}}, "-client:0", ""}, {510, 145}},
        {{{{"Port", 1}, {"Ptp_Performance", 256}}, "-client:0", ""}, {569, 145}},
        {{{{"Port", 1}}, "-client:0", "0||"}, {575, 145}},
        {{{{"Port", 1}}, "-client:3 -server_host:\"a-server\"", ""}, {575, 145}},
        {{{{"Port", 1}}, "-client:3", "1|65535||"}, {562, 145}},
        {{{{"Port", 1}, {"Ptp_Performance", 0}}, "", "1|65534||"}, {0, 0}},
        {{{{"Port", 1}}, "-client:5 -server_host:\"" + std::string(231, 'h'), ""}, {0, 0}},
    };
    for (const auto& row : rows) {
        std::pair<int, int> failure = {0, 0};
        Load(row.stored)->Validate(failure.first, failure.second);
        EXPECT_EQ(row.failure, failure) << row.stored.nic;
    }
    const struct {
        std::string first, second;
        bool same;
    } pairs[] = {
        {"-client:7", "-client:7 -server_port:9", true},
        {"-client:7", "-server:7", false},
        {"-server:1 -port:5", "", true},
        {"-server:1", "-server:2", false},
    };
    for (const auto& pair : pairs)
        EXPECT_EQ(pair.same,
                  Load({{{"Port", 1}}, pair.first, ""})->IsSamePort(*Load({{{"Port", 2}}, pair.second, ""})))
            << pair.first << " / " << pair.second;
    EXPECT_FALSE(Load({{{"Port", 1}}, "", ""})->IsSamePort(PtpPort()));
    // A copy keeps every value; a copy of another kind is a new port.
    auto rich = Load(
        {{{"Port", 4}, {"Ptp_Permanent", 1}, {"Ptp_Performance", 3}}, "-client:3 -server_port:80", "5||"});
    OhttpPtpPort copy;
    EXPECT_EQ(Saved(*rich), Saved(copy.CopyFrom(*rich)));
    EXPECT_EQ(Saved(OhttpPtpPort()), Saved(copy.CopyFrom(PtpPort())));
}

TEST(OhttpPtpPortDialog, TypedTextsMakeAPortOrNameTheFailingControl)
{
    const std::string host(130, 'h'), proxy(131, 'x');
    const struct {
        std::vector<std::pair<int, std::string>> typed;  // 640 and 641 are clicked
        std::string result;                              // accepted: the NIC text; refused: control/message
    } rows[] = {
        {{{510, "5"}}, "-server:1 -port:1"},
        {{{510, "5"}, {IDC_CLIENT, ""}, {575, "7"}, {642, "80"}, {643, "gw"}, {645, "px"}, {644, "81"}},
         "-client:7 -server_port:80 -server_host:\"gw\" -proxy_host:\"px\" -proxy_port:81"},
        {{{510, "5"}, {IDC_CLIENT, ""}, {IDC_SERVER, ""}, {575, "7"}, {642, "80"}, {643, "gw"}, {645, "px"}},
         "-server:7 -port:80 -host:\"gw\""},
        {{{510, "5"}, {575, "4294967295"}, {642, ""}}, "-server:4294967295 -port:0"},
        {{{510, "5"}, {569, "256"}, {575, ""}}, "569/145"},
        {{{510, "5"}, {575, "x"}}, "575/145"},
        {{{510, "5"}, {IDC_CLIENT, ""}, {643, host}, {645, proxy}}, "645/175"},
        {{{510, "5"}, {IDC_CLIENT, ""}, {643, proxy}, {645, host}}, "643/175"},
        {{{510, "5"}, {643, host + host}}, "643/175"},
    };
    for (const auto& row : rows) {
        OhttpPtpPort edited;
        HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_OHTTP_PTP_PORT), nullptr,
                                         OhttpPtpPortDialogProc, LPARAM(&edited));
        EXPECT_EQ("00", std::string(IsWindowEnabled(GetDlgItem(dialog, 644)) ? "1" : "0") +
                            (IsWindowEnabled(GetDlgItem(dialog, 645)) ? "1" : "0"));
        for (const auto& [control, text] : row.typed) {
            if (control == IDC_CLIENT || control == IDC_SERVER) {
                CheckRadioButton(dialog, IDC_CLIENT, IDC_SERVER, control);
                EXPECT_EQ(TRUE,
                          OhttpPtpPortDialogProc(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0));
                EXPECT_EQ(control == IDC_CLIENT, IsWindowEnabled(GetDlgItem(dialog, 644)) != FALSE);
                EXPECT_EQ(control == IDC_CLIENT, IsWindowEnabled(GetDlgItem(dialog, 645)) != FALSE);
            } else {
                SetDlgItemTextA(dialog, control, text.c_str());
            }
        }
        std::unique_ptr<Port> made(edited.CreateFromDialog(dialog));
        int control = 0, message = 0;
        EXPECT_EQ(row.result, made->Validate(control, message)
                                  ? std::string(made->GetNicText())
                                  : std::to_string(control) + "/" + std::to_string(message));
        DestroyWindow(dialog);
    }
}

// A client shows its role and proxy; a server's proxy fields are disabled.
TEST(OhttpPtpPortDialog, InitDialogShowsTheRole)
{
    const struct {
        std::string nic;
        Texts shown;  // 640, 641 checked; 644, 645 enabled; 575, 642, 643, 644, 645
    } rows[] = {
        {"-client:3 -server_port:80 -server_host:\"gw\" -proxy_host:\"px\" -proxy_port:8080",
         {"10", "11", "3", "80", "gw", "8080", "px"}},
        {"-server:9 -port:-1 -host:\"h\"", {"01", "00", "9", "4294967295", "h", "1", ""}},
    };
    for (const auto& row : rows) {
        auto port = Load({{}, row.nic, ""});
        HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_OHTTP_PTP_PORT), nullptr,
                                         OhttpPtpPortDialogProc, LPARAM(port.get()));
        auto flags = [&](int a, int b, bool checked) {
            auto on = [&](int id) {
                return checked ? IsDlgButtonChecked(dialog, id) == BST_CHECKED
                               : IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
            };
            return std::string(on(a) ? "1" : "0") + (on(b) ? "1" : "0");
        };
        EXPECT_EQ(row.shown, (Texts{flags(640, 641, true), flags(644, 645, false), ControlText(dialog, 575),
                                    ControlText(dialog, 642), ControlText(dialog, 643),
                                    ControlText(dialog, 644), ControlText(dialog, 645)}));
        DestroyWindow(dialog);
    }
}
