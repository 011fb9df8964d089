// The BACnet/IP port and its broadcast distribution table: values read,
// shown and saved, the duplicate rule, and each page's fields made into a
// page port and checked.
#include <gtest/gtest.h>

#include <memory>

#include "ports/dialog_controls.h"
#include "ports/kinds/bip_port.h"
#include "ports/kinds/bip_sheet.h"
#include "registry/reg_key.h"
#include "support/entry_values.h"

namespace {

struct Winsock {
    Winsock() { WSAStartup(MAKEWORD(2, 0), &data); }
    WSADATA data;
} winsock;

const std::string First = HostFirstAddress();

BipPort Load(const std::string& stored)
{
    RegistrySandbox entry("TolmarinBipIn");
    StoreValues(HKEY_CURRENT_USER, entry.Path(), stored);
    return BipPort(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// A page as the sheet makes it, without the sheet: made by the page
// procedure for port, then shown (PSN_SETACTIVE fills it).
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
    // "+" or "-" checks or clears and clicks; the address list selects the
    // text; the table gets a row "ip/udp/mask"; any other field the text.
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

const std::string Entry = "/IP:\"10.0.0.1\" /UDP:\"0xBAC0\" /SUBNET:\"255.255.255.0\"", Long(24, '1');

}  // namespace

// Missing values, normalisations, texts too long for their fields, and the
// table kept in order and as typed. Saved: the changes from a new entry's.
TEST(BipPortRegistry, StoredShownSaved)
{
    in_addr first;
    first.s_addr = htonl(ClassfulMask(ntohl(inet_addr(First.c_str()))));
    const EntryValues Defaults = ParseValues(
        "Type=#0;Protocol=#1;Port=#0;Connected=#1;Dnet=#0;Nic=;Secondary_Info=/UDP:47808;Bip\\Bbmd=#0;"
        "Bip\\Two_Hops=#1;Bip\\Num_Bdt_Entries=#0;Bip\\This_Subnet_Mask=" +
        std::string(inet_ntoa(first)) +
        ";Bip\\Fdt_Present=#0;Bip\\Max_Fdt_Entries=#16;Bip\\Foreign_Device=#0;Bip\\Fd_Bbmd_Ip=255.255.255."
        "255;"
        "Bip\\Fd_Bbmd_Udp=#47808;Bip\\Fd_Time_To_Live=#1800");
    const struct {
        std::string stored, nic, info, saved;  // saved: the changes from Defaults
    } rows[] = {
        {"", "Default", "/UDP:47808", ""},
        {"Nic=10.1.2.3;Secondary_Info=/UDP:0xBAC0 /x:1", "10.1.2.3", "/UDP:47808",
         "Nic=10.1.2.3;Bip\\This_Subnet_Mask=255.0.0.0"},
        {"Nic=172.16.0.1;Secondary_Info=/UDP:0", "172.16.0.1", "/UDP:1",
         "Nic=172.16.0.1;Secondary_Info=/UDP:1;Bip\\This_Subnet_Mask=255.255.0.0"},
        {"Nic=192.168.1.2;Secondary_Info=/UDP:-1", "192.168.1.2", "/UDP:65535",
         "Nic=192.168.1.2;Secondary_Info=/UDP:65535;Bip\\This_Subnet_Mask=255.255.255.0"},
        {"Nic=224.0.0.1;Secondary_Info=/UDP:70000;Bip\\This_Subnet_Mask=bogus", "224.0.0.1", "/UDP:65535",
         "Nic=224.0.0.1;Secondary_Info=/UDP:65535;Bip\\This_Subnet_Mask=255.255.255.255"},
        {"Nic=" + Long + ";Bip\\This_Subnet_Mask=" + Long + ";Bip\\Fd_Bbmd_Ip=" + Long, "Default",
         "/UDP:47808", ""},
        {"Bip\\Bbmd=#7;Bip\\Two_Hops=#0;Bip\\Fdt_Present=#2;Bip\\Max_Fdt_Entries=#0xFFFFFFFF;Bip\\Foreign_"
         "Device=#3;"
         "Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#0x1BAC1;Bip\\Fd_Time_To_Live=#0x1003C",
         "Default", "/UDP:47808",
         "Bip\\Bbmd=#1;Bip\\Two_Hops=#0;Bip\\Fdt_Present=#1;Bip\\Max_Fdt_Entries=#4294967295;"
         "Bip\\Foreign_Device=#1;Bip\\Fd_Bbmd_Ip=10.0.0.9;Bip\\Fd_Bbmd_Udp=#47809;Bip\\Fd_Time_To_Live=#60"},
        {"Bip\\Num_Bdt_Entries=#3;Bip\\Bdt_Entry0=/ip:10.0.0.2;Bip\\Bdt_Entry1=" + Entry +
             ";Bip\\Bdt_Entry2=/IP:\"" + Long + "\" /UDP:\"12345678\" /SUBNET:\"" + std::string(80, 'x'),
         "Default", "/UDP:47808",
         "Bip\\Num_Bdt_Entries=#3;Bip\\Bdt_Entry0=/IP:\"10\" /UDP:\"\" /SUBNET:\"\";Bip\\Bdt_Entry1=" +
             Entry + ";Bip\\Bdt_Entry2=/IP:\"\" /UDP:\"\" /SUBNET:\"\""},
        {"Bip\\Num_Bdt_Entries=#1;Bip\\Bdt_Entry0=/IP:\"" + Long + "\" /UDP:\"12345678\" /SUBNET:\"x\"",
         "Default", "/UDP:47808",
         "Bip\\Num_Bdt_Entries=#1;Bip\\Bdt_Entry0=/IP:\"" + Long.substr(1) +
             "\" /UDP:\"123456\" /SUBNET:\"x\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        BipPort port = Load(row.stored);
        EXPECT_EQ(row.nic, port.GetNicText());
        EXPECT_EQ(row.info, port.GetSecondaryInfo());
        RegistrySandbox saved("TolmarinBipOut");
        ASSERT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
        EntryValues expected = Defaults;
        for (const auto& [name, value] : ParseValues(row.saved))
            expected[name] = value;
        EXPECT_EQ(expected, ReadValues(HKEY_CURRENT_USER, saved.Path()));
    }
}

// A damaged count loads at most Bdt::MaxLoadedEntries entries, and nothing when negative.
TEST(BipPortRegistry, EntryCountIsBounded)
{
    const std::pair<const char*, int> rows[] = {
        {"1000000000", 1024}, {"0xFFFFFFFF", 0}, {"0x80000000", 0}, {"1025", 1024}, {"1024", 1024}};
    for (const auto& [count, loaded] : rows)
        EXPECT_EQ(loaded, Load(std::string("Bip\\Num_Bdt_Entries=#") + count).GetBdt().Count()) << count;
}

// Ports 1 and 2 on networks 1 and 2: the same only by address and UDP port,
// "Default" being the host's first address; and the Port group's checks.
TEST(BipPort, DuplicatesAndChecks)
{
    const struct {
        std::string a, b;
        bool same;
    } pairs[] = {
        {"", "Nic=" + First, true},
        {"", "Nic=" + First + ";Secondary_Info=/UDP:47809", false},
        {"Nic=10.0.0.1", "Nic=10.0.0.2", false},
        {"Nic=10.0.0.1", "Nic=10.0.0.1", true},
    };
    for (const auto& pair : pairs) {
        BipPort a = Load("Port=#1;Dnet=#1;" + pair.a), b = Load("Port=#2;Dnet=#2;" + pair.b);
        EXPECT_EQ(pair.same, a.IsSamePort(b)) << First << " " << pair.b;
        EXPECT_EQ(pair.same, b.IsSamePort(a)) << First << " " << pair.b;
    }
    const std::pair<std::string, std::vector<int>> checks[] = {
        {"Nic=10.99.99.99", {IDC_BIP_ADDRESS, 145}},
        {"Nic=" + First, {}},
    };
    for (const auto& [stored, failure] : checks) {
        std::vector<int> found(2);
        EXPECT_EQ(failure, Load("Port=#1;Dnet=#1;" + stored).Validate(found[0], found[1]) ? std::vector<int>{}
                                                                                          : found);
    }
}

// Each page's fields made into a page port and checked: accepted, the
// values of its group (Port: UDP port, mask, address; BBMD: flag, FDT flag,
// capacity, entries; Foreign Device: flag, UDP port, time to live, and 552
// enabled and checked); refused, the control and the message.
TEST(BipPortPages, TypedTextsMakeAPortOrNameTheFailingControl)
{
    const std::vector<std::pair<int, std::string>> Always = {{510, "5"}, {512, "7"}, {538, "255.255.255.0"}};
    const unsigned Address = inet_addr(First.c_str());
    const struct {
        std::string stored;
        int page;
        std::vector<std::pair<int, std::string>> typed;
        std::vector<unsigned> result;
    } rows[] = {
        {"", 502, {{531, ""}}, {47808, 0xFFFFFF00, 0}},
        {"", 502, {{531, "0xBAC0"}, {530, First}}, {47808, 0xFFFFFF00, Address}},
        {"", 502, {{531, "abc"}}, {531, 145}},
        {"", 502, {{531, "65536"}}, {531, 145}},
        {"", 502, {{538, "0.0.0.0"}}, {538, 145}},
        {"", 502, {{530, ""}}, {530, 145}},
        {"", 503, {{537, "10.0.0.1/0/255.0.0.0"}}, {0, 0, 16, 1}},
        {"", 503, {{534, "+"}, {537, "10.0.0.1/0/255.0.0.0"}}, {537, 151}},
        {"", 503, {{534, "+"}, {537, "10.0.0.1/0xbac0/m"}, {537, "10.0.0.1/0XBAC0/M"}}, {537, 152}},
        {"",
         503,
         {{534, "+"}, {537, "10.0.0.1/47808/m"}, {537, "10.0.0.1/0xBAC0/m"}, {535, "+"}, {536, "3"}},
         {1, 1, 3, 2}},
        {"", 503, {{534, "+"}, {535, "+"}, {536, ""}}, {536, 145}},
        {"", 503, {{534, "-"}, {535, "+"}, {536, "0"}}, {0, 1, 0, 0}},
        {"", 504, {{552, "+"}, {539, "0.0.0.0"}}, {539, 145}},
        {"", 504, {{552, "+"}, {539, "10.0.0.9"}, {531, "0x1BAC0"}, {555, "70000"}}, {1, 0x1BAC, 4464, 1, 1}},
        {"", 504, {{552, "+"}, {539, "10.0.0.9"}, {531, "zz"}}, {531, 145}},
        {"", 504, {{552, "-"}, {539, ""}}, {0, 47808, 1800, 1, 0}},
        {"Bip\\Bbmd=#1;Bip\\Foreign_Device=#1", 504, {}, {539, 145}},
        {"Bip\\Bbmd=#1;Bip\\Foreign_Device=#1;Bip\\Fd_Bbmd_Ip=10.0.0.9", 504, {}, {1, 47808, 1800, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        BipPort port = Load(row.stored);
        Page page(row.page, port);
        for (const auto& typed : {Always, row.typed})
            for (const auto& [id, text] : typed)
                page.Type(id, text);
        std::unique_ptr<Port> made(port.CreateFromDialog(page.window));
        ASSERT_NE(nullptr, made);
        std::vector<unsigned> failure(2);
        bool valid = made->Validate(reinterpret_cast<int&>(failure[0]), reinterpret_cast<int&>(failure[1]));
        const BipPort& bip = static_cast<const BipPort&>(*made);
        DialogItem shown(page.window, IDC_BIP_FOREIGN_DEVICE);
        std::vector<unsigned> values[] = {{bip.GetUdpPort(), ntohl(bip.GetSubnetMask()), bip.GetAddress()},
                                          {bip.IsBbmd(), bip.IsFdtPresent(), unsigned(bip.GetMaxFdtEntries()),
                                           unsigned(bip.GetBdt().Count())},
                                          {bip.IsForeignDevice(), bip.GetFdBbmdUdpPort(),
                                           bip.GetFdTimeToLive(), shown.IsEnabled(), shown.IsChecked()}};
        EXPECT_EQ(row.result, valid ? values[row.page - IDD_BIP_PORT_PAGE] : failure);
    }
    BipPort port;
    EXPECT_EQ(nullptr, std::unique_ptr<Port>(port.CreateFromDialog(GetDesktopWindow())));
}
