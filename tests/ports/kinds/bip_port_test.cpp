// The BACnet/IP port and its broadcast distribution table: values read,
// shown and saved, the duplicate rule, and each page's fields made into a
// page port and checked.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "ports/dialog_controls.h"
#include "ports/kinds/bip_port.h"
#include "ports/kinds/bip_sheet.h"
#include "ports/kinds/virtual_port.h"
#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

namespace {

struct Winsock {
    Winsock() { WSAStartup(MAKEWORD(2, 0), &data); }
    WSADATA data;
} winsock;

// The host's first address, read as the port reads it.
u_long HostFirst()
{
    char name[128] = "";
    gethostname(name, sizeof(name));
    const hostent* host = gethostbyname(name);
    return host && host->h_addr_list[0] ? *reinterpret_cast<u_long*>(host->h_addr_list[0]) : 0;
}
std::string Dotted(u_long address)
{
    in_addr in;
    in.s_addr = address;
    return inet_ntoa(in);
}
std::string ClassfulText(u_long address) { return Dotted(htonl(ClassfulMask(ntohl(address)))); }

// Values of an entry and its "Bip" subkey ("Bip\Name"): numbers as "#n", texts as they are.
using Values = std::map<std::string, std::string>;

void Store(const std::string& path, const Values& values)
{
    for (const auto& [name, value] : values) {
        size_t slash = name.find('\\');
        std::string key = slash == std::string::npos ? path : path + "\\" + name.substr(0, slash);
        std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
        if (value[0] == '#')
            SetDword(HKEY_CURRENT_USER, key, leaf.c_str(), DWORD(std::stoul(value.substr(1), nullptr, 0)));
        else
            SetString(HKEY_CURRENT_USER, key, leaf.c_str(), value);
    }
}

Values Read(const std::string& path)
{
    Values values;
    for (const std::string& key : {std::string(), std::string("Bip\\")})
        for (const std::string& name : ValueNames(HKEY_CURRENT_USER, path + "\\" + key)) {
            DWORD type = 0;
            std::vector<BYTE> data;
            GetRaw(HKEY_CURRENT_USER, path + "\\" + key, name.c_str(), &type, &data);
            values[key + name] = type == REG_DWORD
                                     ? "#" + std::to_string(*reinterpret_cast<DWORD*>(data.data()))
                                     : std::string(reinterpret_cast<char*>(data.data()));
        }
    return values;
}

BipPort Load(const Values& stored)
{
    RegistrySandbox entry("TolmarinBipIn");
    Store(entry.Path(), stored);
    return BipPort(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// A page as the sheet makes it, without the sheet: made by the page
// procedure for port, then shown (PSN_SETACTIVE fills it).
struct Page {
    Page(int id, BipPort& port)
    {
        sheetPage.dwSize = sizeof(sheetPage);
        sheetPage.pszTemplate = MAKEINTRESOURCEA(id);
        sheetPage.lParam = LPARAM(&port);
        window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), host, BipPageProc,
                                    LPARAM(&sheetPage));
        NMHDR show = {window, 0, UINT(PSN_SETACTIVE)};
        SendMessageA(window, WM_NOTIFY, 0, LPARAM(&show));
    }
    ~Page() { DestroyWindow(host); }
    // "+" or "-" checks or clears and clicks; a combo selects the text (none
    // for ""); the list gets a row "ip/udp/mask"; any other field the text.
    void Type(int id, const std::string& text) const
    {
        HWND control = GetDlgItem(window, id);
        if (text == "+" || text == "-") {
            DialogItem(window, id).SetChecked(text == "+");
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(control));
        } else if (id == IDC_BIP_ADDRESS) {
            SendMessageA(control, CB_SETCURSEL, WPARAM(-1), 0);
            SendMessageA(control, CB_SELECTSTRING, WPARAM(-1), LPARAM(text.empty() ? "\n" : text.c_str()));
        } else if (id == IDC_BIP_BDT_LIST) {
            BdtEntry entry = {};
            sscanf(text.c_str(), "%23[^/]/%6[^/]/%23s", entry.ipText, entry.udpText, entry.subnetText);
            Bdt::AppendRow(control, entry);
        } else {
            SetWindowTextA(control, text.c_str());
        }
    }

    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PROPSHEETPAGEA sheetPage = {};
    HWND window;
};

const char Entry1[] = "/IP:\"10.0.0.1\" /UDP:\"0xBAC0\" /SUBNET:\"255.255.255.0\"";

}  // namespace

// Missing values, normalisations, texts too long for their fields, and the
// table kept in order and as typed. Saved: the changes from a new entry's.
TEST(BipPortRegistry, StoredShownSaved)
{
    const std::string Mask = ClassfulText(HostFirst()), Long24(24, '1');
    const Values Defaults = {{"Type", "#0"},
                             {"Protocol", "#1"},
                             {"Port", "#0"},
                             {"Connected", "#1"},
                             {"Dnet", "#0"},
                             {"Nic", ""},
                             {"Secondary_Info", "/UDP:47808"},
                             {"Bip\\Bbmd", "#0"},
                             {"Bip\\Two_Hops", "#1"},
                             {"Bip\\Num_Bdt_Entries", "#0"},
                             {"Bip\\This_Subnet_Mask", Mask},
                             {"Bip\\Fdt_Present", "#0"},
                             {"Bip\\Max_Fdt_Entries", "#16"},
                             {"Bip\\Foreign_Device", "#0"},
                             {"Bip\\Fd_Bbmd_Ip", "255.255.255.255"},
                             {"Bip\\Fd_Bbmd_Udp", "#47808"},
                             {"Bip\\Fd_Time_To_Live", "#1800"}};
    const struct {
        Values stored;
        std::string nic, info;
        Values saved;  // changed from Defaults
    } rows[] = {
        {{}, "Default", "/UDP:47808", {}},
        {{{"Nic", "10.1.2.3"}, {"Secondary_Info", "/UDP:0xBAC0 /x:1"}},
         "10.1.2.3",
         "/UDP:47808",
         {{"Nic", "10.1.2.3"}, {"Bip\\This_Subnet_Mask", "255.0.0.0"}}},
        {{{"Nic", "172.16.0.1"}, {"Secondary_Info", "/UDP:0"}},
         "172.16.0.1",
         "/UDP:1",
         {{"Nic", "172.16.0.1"}, {"Secondary_Info", "/UDP:1"}, {"Bip\\This_Subnet_Mask", "255.255.0.0"}}},
        {{{"Nic", "192.168.1.2"}, {"Secondary_Info", "/UDP:-1"}},
         "192.168.1.2",
         "/UDP:65535",
         {{"Nic", "192.168.1.2"},
          {"Secondary_Info", "/UDP:65535"},
          {"Bip\\This_Subnet_Mask", "255.255.255.0"}}},
        {{{"Nic", "224.0.0.1"}, {"Bip\\This_Subnet_Mask", "bogus"}, {"Secondary_Info", "/UDP:70000"}},
         "224.0.0.1",
         "/UDP:65535",
         {{"Nic", "224.0.0.1"},
          {"Secondary_Info", "/UDP:65535"},
          {"Bip\\This_Subnet_Mask", "255.255.255.255"}}},
        {{{"Nic", Long24}, {"Bip\\This_Subnet_Mask", Long24}, {"Bip\\Fd_Bbmd_Ip", Long24}},
         "Default",
         "/UDP:47808",
         {}},
        {{{"Nic", ""},
          {"Bip\\Bbmd", "#7"},
          {"Bip\\Two_Hops", "#0"},
          {"Bip\\Fdt_Present", "#2"},
          {"Bip\\Max_Fdt_Entries", "#0xFFFFFFFF"},
          {"Bip\\Foreign_Device", "#3"},
          {"Bip\\Fd_Bbmd_Ip", "10.0.0.9"},
          {"Bip\\Fd_Bbmd_Udp", "#0x1BAC1"},
          {"Bip\\Fd_Time_To_Live", "#0x1003C"}},
         "Default",
         "/UDP:47808",
         {{"Bip\\Bbmd", "#1"},
          {"Bip\\Two_Hops", "#0"},
          {"Bip\\Fdt_Present", "#1"},
          {"Bip\\Max_Fdt_Entries", "#4294967295"},
          {"Bip\\Foreign_Device", "#1"},
          {"Bip\\Fd_Bbmd_Ip", "10.0.0.9"},
          {"Bip\\Fd_Bbmd_Udp", "#47809"},
          {"Bip\\Fd_Time_To_Live", "#60"}}},
        {{{"Bip\\Num_Bdt_Entries", "#3"},
          {"Bip\\Bdt_Entry0", "/ip:10.0.0.2"},
          {"Bip\\Bdt_Entry1", Entry1},
          {"Bip\\Bdt_Entry2", "/IP:\"" + Long24 + "\" /UDP:\"12345678\" /SUBNET:\"" + std::string(80, 'x')}},
         "Default",
         "/UDP:47808",
         {{"Bip\\Num_Bdt_Entries", "#3"},
          {"Bip\\Bdt_Entry0", "/IP:\"10\" /UDP:\"\" /SUBNET:\"\""},
          {"Bip\\Bdt_Entry1", Entry1},
          {"Bip\\Bdt_Entry2", "/IP:\"\" /UDP:\"\" /SUBNET:\"\""}}},
        {{{"Bip\\Num_Bdt_Entries", "#1"},
          {"Bip\\Bdt_Entry0", "/IP:\"" + Long24 + "\" /UDP:\"12345678\" /SUBNET:\"x\""}},
         "Default",
         "/UDP:47808",
         {{"Bip\\Num_Bdt_Entries", "#1"},
          {"Bip\\Bdt_Entry0", "/IP:\"" + Long24.substr(1) + "\" /UDP:\"123456\" /SUBNET:\"x\""}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.nic + " " + row.info);
        BipPort port = Load(row.stored);
        EXPECT_EQ(row.nic, port.GetNicText());
        EXPECT_EQ(row.info, port.GetSecondaryInfo());
        RegistrySandbox saved("TolmarinBipOut");
        ASSERT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
        Values expected = Defaults;
        for (const auto& [name, value] : row.saved)
            expected[name] = value;
        EXPECT_EQ(expected, Read(saved.Path()));
    }
}

// A damaged count loads at most Bdt::MaxLoadedEntries entries, and nothing when negative.
TEST(BipPortRegistry, EntryCountIsBounded)
{
    const std::pair<const char*, int> rows[] = {
        {"#1000000000", 1024}, {"#0xFFFFFFFF", 0}, {"#0x80000000", 0}, {"#1025", 1024}, {"#1024", 1024}};
    for (const auto& [count, loaded] : rows)
        EXPECT_EQ(loaded, Load({{"Bip\\Num_Bdt_Entries", count}}).GetBdt().Count()) << count;
}

// Ports 1..n on networks 1..n: same only by address and UDP port, "Default"
// being the host's first address; and the checks of a loaded port.
TEST(BipPort, DuplicatesAndChecks)
{
    const std::string First = Dotted(HostFirst());
    const struct {
        Values a, b;
        bool same;
    } pairs[] = {
        {{}, {{"Nic", First}}, true},
        {{}, {{"Nic", First}, {"Secondary_Info", "/UDP:47809"}}, false},
        {{{"Nic", "10.0.0.1"}}, {{"Nic", "10.0.0.2"}}, false},
        {{{"Nic", "10.0.0.1"}}, {{"Nic", "10.0.0.1"}}, true},
    };
    for (const auto& pair : pairs) {
        BipPort a = Load(pair.a), b = Load(pair.b);
        a.SetPortId(1), a.SetNetwork(1), b.SetPortId(2), b.SetNetwork(2);
        EXPECT_EQ(pair.same, a.IsSamePort(b)) << First;
        EXPECT_EQ(pair.same, b.IsSamePort(a)) << First;
    }
    VirtualPort other;
    other.SetPortId(2);
    other.SetNetwork(2);
    EXPECT_FALSE(Load({{"Port", "#1"}}).IsSamePort(other));

    const struct {
        Values stored;
        std::vector<int> failure;  // control, message; none when valid
    } checks[] = {
        {{{"Port", "#1"}, {"Dnet", "#1"}, {"Bip\\This_Subnet_Mask", "0.0.0.0"}}, {IDC_BIP_SUBNET_MASK, 145}},
        {{{"Port", "#1"}, {"Dnet", "#1"}, {"Nic", "10.99.99.99"}}, {IDC_BIP_ADDRESS, 145}},
        {{{"Port", "#1"}, {"Dnet", "#1"}, {"Nic", First}}, {}},
        {{{"Port", "#1"}, {"Dnet", "#1"}, {"Bip\\Foreign_Device", "#1"}}, {IDC_BIP_IP_ADDRESS, 145}},
        {{{"Port", "#1"},
          {"Dnet", "#1"},
          {"Bip\\Foreign_Device", "#1"},
          {"Bip\\Fd_Bbmd_Ip", "10.0.0.9"},
          {"Bip\\Fd_Bbmd_Udp", "#0x10000"}},
         {IDC_BIP_UDP_PORT, 145}},
    };
    for (const auto& check : checks) {
        std::vector<int> failure(2);
        bool valid = Load(check.stored).Validate(failure[0], failure[1]);
        EXPECT_EQ(check.failure, valid ? std::vector<int>{} : failure);
    }
}

// Each page's fields made into a page port and checked: accepted, the
// values of its group (Port: UDP port, mask, address; BBMD: flag, FDT flag,
// capacity, entries; Foreign Device: flag, UDP port, time to live, and 552
// enabled and checked); refused, the control and the message.
TEST(BipPortPages, TypedTextsMakeAPortOrNameTheFailingControl)
{
    const std::string First = Dotted(HostFirst());
    const Values Valid = {{"Port", "#1"}, {"Dnet", "#1"}};
    const std::vector<std::pair<int, std::string>> Ids = {{510, "5"}, {512, "7"}, {538, "255.255.255.0"}};
    const struct {
        Values stored;
        int page;
        std::vector<std::pair<int, std::string>> typed;
        std::vector<unsigned> result;
    } rows[] = {
        {{}, 502, {{531, ""}}, {47808, 0xFFFFFF00, 0}},
        {{}, 502, {{531, "0xBAC0"}, {530, First}}, {47808, 0xFFFFFF00, unsigned(HostFirst())}},
        {{}, 502, {{531, "abc"}}, {531, 145}},
        {{}, 502, {{531, "65536"}}, {531, 145}},
        {{}, 502, {{538, "0.0.0.0"}}, {538, 145}},
        {{}, 502, {{530, ""}}, {530, 145}},
        {{}, 503, {{537, "10.0.0.1/0/255.0.0.0"}}, {0, 0, 16, 1}},
        {{}, 503, {{534, "+"}, {537, "10.0.0.1/0/255.0.0.0"}}, {537, 151}},
        {{}, 503, {{534, "+"}, {537, "10.0.0.1/0xbac0/m"}, {537, "10.0.0.1/0XBAC0/M"}}, {537, 152}},
        {{},
         503,
         {{534, "+"}, {537, "10.0.0.1/47808/m"}, {537, "10.0.0.1/0xBAC0/m"}, {535, "+"}, {536, "3"}},
         {1, 1, 3, 2}},
        {{}, 503, {{534, "+"}, {535, "+"}, {536, ""}}, {536, 145}},
        {{}, 503, {{534, "-"}, {535, "+"}, {536, "0"}}, {0, 1, 0, 0}},
        {{}, 504, {{552, "+"}, {539, "0.0.0.0"}}, {539, 145}},
        {{}, 504, {{552, "+"}, {539, "10.0.0.9"}, {531, "0x1BAC0"}, {555, "70000"}}, {1, 0x1BAC, 4464, 1, 1}},
        {{}, 504, {{552, "+"}, {539, "10.0.0.9"}, {531, "zz"}}, {531, 145}},
        {{}, 504, {{552, "-"}, {539, ""}}, {0, 47808, 1800, 1, 0}},
        {{{"Bip\\Bbmd", "#1"}, {"Bip\\Foreign_Device", "#1"}}, 504, {}, {539, 145}},
        {{{"Bip\\Bbmd", "#1"}, {"Bip\\Foreign_Device", "#1"}, {"Bip\\Fd_Bbmd_Ip", "10.0.0.9"}},
         504,
         {},
         {1, 47808, 1800, 0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        BipPort port = Load(row.stored);
        Page page(row.page, port);
        for (const auto& [id, text] : Ids)
            page.Type(id, text);
        for (const auto& [id, text] : row.typed)
            page.Type(id, text);
        std::unique_ptr<Port> made(port.CreateFromDialog(page.window));
        ASSERT_NE(nullptr, made);
        int control = 0, message = 0;
        bool valid = made->Validate(control, message);
        const BipPort& bip = static_cast<const BipPort&>(*made);
        DialogItem shown(page.window, IDC_BIP_FOREIGN_DEVICE);
        std::vector<unsigned> values =
            row.page == 502
                ? std::vector<unsigned>{bip.GetUdpPort(), ntohl(bip.GetSubnetMask()), bip.GetAddress()}
            : row.page == 503
                ? std::vector<unsigned>{bip.IsBbmd(), bip.IsFdtPresent(), unsigned(bip.GetMaxFdtEntries()),
                                        unsigned(bip.GetBdt().Count())}
                : std::vector<unsigned>{bip.IsForeignDevice(), bip.GetFdBbmdUdpPort(), bip.GetFdTimeToLive(),
                                        shown.IsEnabled(), shown.IsChecked()};
        std::vector<unsigned> failure = {unsigned(control), unsigned(message)};
        EXPECT_EQ(row.result, valid ? values : failure);
    }
    BipPort port;
    EXPECT_EQ(nullptr, std::unique_ptr<Port>(port.CreateFromDialog(GetDesktopWindow())));
}
