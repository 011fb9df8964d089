// The BACnet/IP port and its broadcast distribution table: stored, shown, saved, checked, edited.
#include <gtest/gtest.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/bip_port.h"
#include "ports/kinds/bip_sheet.h"
#include "ports/kinds/ptp_values.h"

WSADATA Winsock;
const int WinsockStarted = WSAStartup(MAKEWORD(2, 0), &Winsock);

const std::string First = HostFirstAddress(), Long(24, '1');

// A page as the sheet makes it, without the sheet, and shown (PSN_SETACTIVE fills it).
struct Page {
    Page(int id, BipPort& port)
    {
        sheetPage.pszTemplate = MAKEINTRESOURCEA(id);
        sheetPage.lParam = LPARAM(&port);
        window = CreateDialogParamA(nullptr, sheetPage.pszTemplate, host, BipPageProc, LPARAM(&sheetPage));
        NMHDR show = {window, 0, UINT(PSN_SETACTIVE)};
        SendMessageA(window, WM_NOTIFY, 0, LPARAM(&show));
    }
    ~Page() { DestroyWindow(host); }
    // "+" or "-" checks or clears and clicks; the address list selects, the table appends "ip/udp/mask".
    void Type(int id, const std::string& text) const
    {
        HWND control = GetDlgItem(window, id);
        BdtEntry entry = {};
        if (text == "+" || text == "-") {
            DialogItem(window, id).SetChecked(text == "+");
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(control));
        } else if (id == IDC_BIP_ADDRESS) {
            SendMessageA(control, CB_SETCURSEL, WPARAM(-1), 0);
            SendMessageA(control, CB_SELECTSTRING, WPARAM(-1), LPARAM(text.empty() ? "\n" : text.c_str()));
        } else if (id == IDC_BIP_BDT_LIST && sscanf(text.c_str(), "%23[^/]/%6[^/]/%23s", entry.ipText,
                                                    entry.udpText, entry.subnetText)) {
            Bdt::AppendRow(control, entry);
        } else {
            SetWindowTextA(control, text.c_str());
        }
    }

    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    PROPSHEETPAGEA sheetPage = {};
    HWND window;
};

// Missing values, normalisations, texts too long, the table kept in order and as typed: the values saved
// where they differ from a new entry's.
TEST(BipPort, StoredShownSavedCheckedAndEdited)
{
    in_addr first;
    first.s_addr = htonl(ClassfulMask(ntohl(inet_addr(First.c_str()))));
    const Values defaults =
        V("Type=#0;Protocol=#1;Port=#0;Connected=#1;Dnet=#0;Nic=;Secondary_Info=/UDP:47808;Bip\\Bbmd=#0;"
          "Bip\\Two_Hops=#1;Bip\\Num_Bdt_Entries=#0;Bip\\Fdt_Present=#0;Bip\\Max_Fdt_Entries=#16;"
          "Bip\\Foreign_Device=#0;Bip\\Fd_Bbmd_Ip=255.255.255.255;Bip\\Fd_Bbmd_Udp=#47808;"
          "Bip\\Fd_Time_To_Live=#1800;Bip\\This_Subnet_Mask=" +
          std::string(inet_ntoa(first)));
    const std::string entry = "/IP:\"10.0.0.1\" /UDP:\"0xBAC0\" /SUBNET:\"255.255.255.0\"";
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {"Nic=172.16.0.1;Secondary_Info=/UDP:0",
         "Nic=172.16.0.1;Secondary_Info=/UDP:1;Bip\\This_Subnet_Mask=255.255.0.0"},
        {"Nic=192.168.1.2;Secondary_Info=/UDP:-1 /x:1",
         "Nic=192.168.1.2;Secondary_Info=/UDP:65535;Bip\\This_Subnet_Mask=255.255.255.0"},
        {"Nic=10.1.2.3;Secondary_Info=/UDP:70000;Bip\\This_Subnet_Mask=bogus",
         "Nic=10.1.2.3;Secondary_Info=/UDP:65535;Bip\\This_Subnet_Mask=255.255.255.255"},
        {"Nic=" + Long + ";Bip\\This_Subnet_Mask=" + Long + ";Bip\\Fd_Bbmd_Ip=" + Long, ""},
        {"Bip\\Bbmd=#7;Bip\\Two_Hops=#0;Bip\\Fdt_Present=#2;Bip\\Max_Fdt_Entries=#0xFFFFFFFF;Bip\\Foreign_"
         "Device=#3;Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#0x1BAC1;Bip\\Fd_Time_To_Live=#0x1003C",
         "Bip\\Bbmd=#1;Bip\\Two_Hops=#0;Bip\\Fdt_Present=#1;Bip\\Max_Fdt_Entries=#4294967295;"
         "Bip\\Foreign_Device=#1;Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#47809;Bip\\Fd_Time_To_Live=#60"},
        {"Bip\\Num_Bdt_Entries=#4;Bip\\Bdt_Entry0=/ip:10.0.0.2;Bip\\Bdt_Entry1=" + entry +
             ";Bip\\Bdt_Entry2=/IP:\"" + Long + "\" /UDP:\"12345678\" /SUBNET:\"x\";Bip\\Bdt_Entry3=/IP:\"" +
             Long + "\" /SUBNET:\"" + std::string(80, 'x'),
         "Bip\\Num_Bdt_Entries=#4;Bip\\Bdt_Entry0=/IP:\"10\" /UDP:\"\" /SUBNET:\"\";Bip\\Bdt_Entry1=" +
             entry + ";Bip\\Bdt_Entry2=/IP:\"" + Long.substr(1) +
             "\" /UDP:\"123456\" /SUBNET:\"x\";Bip\\Bdt_Entry3=/IP:\"\" /UDP:\"\" /SUBNET:\"\""},
    };
    for (const auto& [stored, changed] : rows) {
        Values expected = defaults;
        for (const auto& [name, value] : V(changed))
            expected[name] = value;
        EXPECT_EQ(expected, Saved(*Load<BipPort>(stored), {}, false)) << stored;
    }
    // A damaged count loads at most Bdt::MaxLoadedEntries entries, and nothing when negative.
    EXPECT_EQ((std::vector<int>{1024, 0}),
              (std::vector<int>{Load<BipPort>("Bip\\Num_Bdt_Entries=#1025")->GetBdt().Count(),
                                Load<BipPort>("Bip\\Num_Bdt_Entries=#0xFFFFFFFF")->GetBdt().Count()}));

    // The same port only by address ("Default": the host's first) and UDP port; another host's fails.
    const std::pair<std::string, bool> pairs[] = {{"Nic=" + First, true},
                                                  {"Nic=" + First + ";Secondary_Info=/UDP:47809", false},
                                                  {"Nic=10.0.0.2", false}};
    for (const auto& [b, same] : pairs)
        EXPECT_EQ(same, Load<BipPort>("Port=#1;Dnet=#1")->IsSamePort(*Load<BipPort>("Port=#2;Dnet=#2;" + b)))
            << b;
    EXPECT_EQ("valid 530/145", Failure(*Load<BipPort>("Port=#1;Dnet=#1;Nic=" + First)) + " " +
                                   Failure(*Load<BipPort>("Port=#1;Dnet=#1;Nic=10.99.99.99")));

    // Each page's fields made into a port: accepted, its group's values (Port: UDP port, mask, address;
    // BBMD: flags, capacity, entries; Foreign Device: flag, UDP port, time to live); refused, the failure.
    const std::vector<std::pair<int, std::string>> always = {{510, "5"}, {512, "7"}, {538, "255.255.255.0"}};
    const struct {
        std::string stored;
        int page;
        std::vector<std::pair<int, std::string>> typed;
        std::vector<unsigned> result;
    } pages[] = {
        {"", 502, {{531, "0xBAC0"}, {530, First}}, {47808, 0xFFFFFF00, unsigned(inet_addr(First.c_str()))}},
        {"", 502, {{531, "65536"}}, {531, 145}},
        {"", 502, {{538, "0.0.0.0"}}, {538, 145}},
        {"", 503, {{534, "+"}, {537, "10.0.0.1/0/255.0.0.0"}}, {537, 151}},
        {"", 503, {{534, "+"}, {537, "10.0.0.1/0xbac0/m"}, {537, "10.0.0.1/0XBAC0/M"}}, {537, 152}},
        {"", 503, {{534, "+"}, {537, "10.0.0.1/47808/m"}, {535, "+"}, {536, "3"}}, {1, 1, 3, 1}},
        {"", 503, {{534, "+"}, {535, "+"}, {536, ""}}, {536, 145}},
        {"", 504, {{552, "+"}, {539, "0.0.0.0"}}, {539, 145}},
        {"", 504, {{552, "+"}, {539, "10.0.0.9"}, {531, "0x1BAC0"}, {555, "70000"}}, {1, 0x1BAC, 4464}},
        {"Bip\\Bbmd=#1;Bip\\Foreign_Device=#1", 504, {}, {539, 145}},
    };
    for (const auto& row : pages) {
        SCOPED_TRACE(testing::Message() << "row " << &row - pages);
        auto port = Load<BipPort>(row.stored);
        Page page(row.page, *port);
        for (const auto& typed : {always, row.typed})
            for (const auto& [id, text] : typed)
                page.Type(id, text);
        std::unique_ptr<Port> made(port->CreateFromDialog(page.window));
        std::vector<unsigned> failure(2);
        bool valid = made->Validate(reinterpret_cast<int&>(failure[0]), reinterpret_cast<int&>(failure[1]));
        const BipPort& bip = static_cast<const BipPort&>(*made);
        std::vector<unsigned> values[] = {
            {bip.GetUdpPort(), ntohl(bip.GetSubnetMask()), bip.GetAddress()},
            {bip.IsBbmd(), bip.IsFdtPresent(), unsigned(bip.GetMaxFdtEntries()),
             unsigned(bip.GetBdt().Count())},
            {bip.IsForeignDevice(), bip.GetFdBbmdUdpPort(), bip.GetFdTimeToLive()}};
        EXPECT_EQ(row.result, valid ? values[row.page - IDD_BIP_PORT_PAGE] : failure);
    }
    EXPECT_EQ(nullptr, std::unique_ptr<Port>(BipPort().CreateFromDialog(GetDesktopWindow())));
}
