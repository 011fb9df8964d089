// Random damaged Port Tables load, check and save idempotently; the faults they found, as fixed cases; leaks.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

#include "ports/kinds/bdt_text.h"
#include "ports/kinds/dial_dialog.h"
#include "ports/port.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "support/entry_values.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

const char LinkTarget[] = "SOFTWARE\\TolmarinRandomLinkTarget";

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> words{""};
    for (char c : text)
        c == separator ? words.push_back("") : words.back().push_back(c);
    return words;
}

// Type, protocol and own subkey of each kind, the known ones and some never stored; the values' names.
const std::tuple<DWORD, DWORD, std::string> Kinds[] = {{0, 0, ""}, {0, 1, "Bip"}, {0, 3, ""},
                                                       {1, 0, ""}, {2, 2, "PTP"}, {2, 9, ""},
                                                       {2, 5, ""}, {7, 1, "Bip"}, {0xFFFFFFFF, 2, "PTP"}};
const char EntryNames[] =
    "Port Connected Dnet Nic Secondary_Info Ptp_Permanent Ptp_Performance Ptp_Password Ptp_Dnets";
const char BipNames[] =
    "Bbmd Two_Hops This_Subnet_Mask Fdt_Present Max_Fdt_Entries Foreign_Device Fd_Bbmd_Ip Fd_Bbmd_Udp "
    "Fd_Time_To_Live Bdt_Entry0 Bdt_Entry1 Num_Bdt_Entries";
// Texts of every kind of value, '|' between them.
const std::vector<std::string> Texts = Split(
    "|0|/UDP:0xBAC0|/udp:47808 /extra|192.168.1.10|255.255.255.0|COM1|/ioport:0x2E0 /irq:5 /node:7 /speed:3|"
    "-client /server_port:80 /proxy:1.2.3.4|-server /port:-1|/dial:ATDT123 /retries:-5|"
    "10.0.0.1/47808/255.255.255.255|/a: /:b //::|/x:99999999999999999999999|%s%n%d|0x|08|-2147483648|"
    "/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"|/IP:\"10.0.0.1 /UDP:\"0xBAC0 /SUBNET:",
    '|');
const DWORD Numbers[] = {0, 1, 2, 5, 255, 256, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
const DWORD BdtCounts[] = {0, 1, 2, 3, 1000, 0xFFFFFFFF, 0x80000000};
const int Edges[] = {16, 20, 24, 32, 64, 80, 128, 256, 261};  // capacities of the texts read

// The table being made: its numbers, and its links (whose end deletes whatever stands at their paths).
std::mt19937 random;
std::vector<std::unique_ptr<RegistryLink>> links;
int Pick(int count) { return int(random() % unsigned(count)); }
auto Any = [](const auto& items) { return items[Pick(int(std::size(items)))]; };

bool Link(const std::string& path)
{
    return !Pick(11) && (links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, path, LinkTarget)), true);
}

// A text, now and then over-long, damaged (any bytes, NULs inside) or at a capacity's edge (-1, 0, +1).
std::string Text()
{
    std::string text = Any(Texts);
    int form = Pick(6);
    for (int length = 200 + Pick(3000); form == 0 && int(text.size()) < length;)
        text += Any(Texts) + (Pick(2) ? "x" : "/");
    for (int i = form == 1 ? Pick(80) : 0; i > 0; --i)
        text.insert(text.begin() + Pick(int(text.size()) + 1), char(Pick(256)));
    if (form == 2)
        text.resize(size_t(Any(Edges) + Pick(3) - 1), Pick(2) ? '9' : '/');
    return text;
}

// None, a number, a string, a multi-string (0-2 closing NULs), a number of the wrong size, or any bytes.
const DWORD Types[] = {REG_NONE, REG_DWORD, REG_SZ, REG_SZ, REG_MULTI_SZ, REG_DWORD, REG_BINARY, REG_BINARY};
void StoreValue(const std::string& key, const std::string& name)
{
    DWORD number = Pick(2) ? Any(Numbers) : DWORD(Pick(300)), form = DWORD(Pick(8)), type = Types[form];
    std::string bytes(reinterpret_cast<const char*>(&number), type == REG_DWORD ? 4 : 0);
    if (form == 5)
        bytes.resize(size_t(Pick(9)), '\x7F');
    for (int i = type == REG_SZ ? 0 : type == REG_MULTI_SZ ? Pick(4) : -1; i >= 0; --i)
        bytes += Text() + std::string(size_t(i ? 1 : Pick(type == REG_SZ ? 2 : 3)), '\0');
    for (int i = type == REG_BINARY ? Pick(12) : 0; i > 0; --i)
        bytes += char(Pick(256));
    if (type != REG_NONE)
        SetRaw(HKEY_LOCAL_MACHINE, key, name.c_str(), type, bytes.data(), DWORD(bytes.size()));
}

// A kind's values, the protocol now and then of another form; its subkey now and then missing or another's.
void StoreEntry(const std::string& entry)
{
    if (Link(entry))
        return;
    auto [type, protocol, own] = Any(Kinds);
    SetDword(HKEY_LOCAL_MACHINE, entry, "Type", type);
    Pick(6) ? SetDword(HKEY_LOCAL_MACHINE, entry, "Protocol", protocol) : StoreValue(entry, "Protocol");
    for (const std::string& name : Split(EntryNames, ' '))
        StoreValue(entry, name);
    std::string subkey = !own.empty() && Pick(6) ? own : Pick(5) ? "" : Pick(2) ? "Bip" : "PTP";
    if (subkey.empty() || Link(entry + "\\" + subkey))
        return;
    for (const std::string& name : Split(subkey == "Bip" ? BipNames : "In_Passwords", ' '))
        StoreValue(entry + "\\" + subkey, name);
    if (subkey == "Bip" && Pick(5))  // a table of up to three entries, or a count far too big
        SetDword(HKEY_LOCAL_MACHINE, entry + "\\Bip", "Num_Bdt_Entries", Any(BdtCounts));
}

// The table of seed, stored; its count now and then wrong, huge or negative.
void StoreTable(unsigned seed)
{
    random.seed(seed);
    DWORD entries = DWORD(Pick(7)), counts[] = {entries + 2, entries - 1, 300, 0xFFFFFFFF, 0x80000000};
    StoreEntryCount(Pick(4) ? entries : Any(counts));
    for (DWORD i = 0; i < entries; ++i)
        StoreEntry(EntryPath(int(i)));
    if (!Pick(8))  // a subkey below an entry beyond the count
        StoreValue(TablePath + std::string("\\Entry9\\Extra"), "Port");
}

// Every value below path, "Entry0\Bip\Name=d:1" each.
std::set<std::string> StoredTree(const std::string& path)
{
    std::set<std::string> lines;
    for (const auto& [name, value] : ReadValues(HKEY_LOCAL_MACHINE, path, true))
        lines.insert(name + "=" + value);
    return lines;
}

// While in scope, each window that activates is answered with button (a sheet shows every page first).
struct Answering {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE)
            PostMessageA(HWND(wParam), PSM_SETCURSEL, 1, 0), PostMessageA(HWND(wParam), PSM_SETCURSEL, 2, 0),
                PostMessageA(HWND(wParam), WM_COMMAND, button, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    explicit Answering(int answer) { button = answer; }
    ~Answering() { UnhookWindowsHookEx(hook); }
    static inline int button;
    HHOOK hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
};

// The Port Table dialog embedded as a host embeds it.
HWND EmbeddedDialog()
{
    const DLGTEMPLATE* dialog = nullptr;
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialog);
    return CreateDialogIndirectParamA(nullptr, dialog, nullptr, PortTableDialogProc, 0);
}

// One table through a host's control codes (every fifth embedded): lines one save stored, the other not.
std::vector<std::string> RunTable(unsigned seed)
{
    // Deleted as a save deletes it: links, which a child ended mid-table leaves, and not their targets.
    RegKey::DeleteKeyPath(HKEY_LOCAL_MACHINE, TablePath);
    DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    StoreValues(HKEY_LOCAL_MACHINE, LinkTarget, "Type=#1;Bip\\Num_Bdt_Entries=#1");
    std::set<std::string> target = StoredTree(LinkTarget), saved[2];
    StoreTable(seed);
    LoadPortTable();
    HWND dialog = seed % 5 == 0 ? EmbeddedDialog() : nullptr;
    Answering answering(IDOK);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_VALIDATE, nullptr);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    links.clear();  // the saved entries at their paths go too: the table in memory is saved again
    for (std::set<std::string>& tree : saved) {
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
        tree = StoredTree(TablePath);
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RELOAD, nullptr);
    }
    DestroyWindow(dialog);
    FreePortTable();
    std::vector<std::string> lines;
    for (int one : {0, 1})
        for (const std::string& line : saved[one])
            if (!saved[1 - one].count(line))
                lines.push_back(std::to_string(one + 1) + ": " + line.substr(0, 200));
    if (target != StoredTree(LinkTarget))
        lines.push_back("link target changed");
    return lines;
}

unsigned EnvNumber(const char* name, unsigned def) { return getenv(name) ? atoi(getenv(name)) : def; }

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<long*>(count) > 0; }

// Busy blocks of every heap, and GDI and USER objects. Wine's GetGuiResources answers 0, but it takes a
// GDI object or a menu by its table index alone, so every index is asked (a lost icon's are GDI bitmaps).
std::pair<long, std::string> Usage()
{
    HANDLE heaps[64];
    long blocks = 0, gdi = 0, user = 0;
    for (DWORD i = 0, count = GetProcessHeaps(64, heaps); i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY e = {};
        while (HeapWalk(heaps[i], &e))  // the test's only thread: nothing else allocates meanwhile
            blocks += (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    }
    for (UINT_PTR index = 0; index < 0x10000; ++index)
        gdi += GetObjectType(HGDIOBJ(index)) != 0, user += IsMenu(HMENU(index)) != 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, LPARAM(&user));
    return {blocks, std::to_string(gdi) + " GDI, " + std::to_string(user) + " USER objects"};
}

// cycle 5 times to settle caches, then TOLMARIN_LEAK_CYCLES times (20; soak 1,000): a block lost per cycle.
void ExpectNoGrowth(const std::string& what, const std::function<void()>& cycle)
{
    int cycles = int(EnvNumber("TOLMARIN_LEAK_CYCLES", 20));
    auto run = [&](int count) {
        MSG message;
        for (int i = 0; i < count; ++i)
            for (cycle(); PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
                DispatchMessageA(&message);
        return Usage();
    };
    auto before = run(5), after = run(cycles);
    printf("%s, %d cycles: heap blocks %ld -> %ld, %s -> %s\n", what.c_str(), cycles, before.first,
           after.first, before.second.c_str(), after.second.c_str());
    EXPECT_LE(after.first - before.first, 8 + cycles / 20) << what;
    EXPECT_EQ(before.second, after.second) << what;
}

}  // namespace

// TOLMARIN_TABLES (60) tables from TOLMARIN_FIRST_TABLE; lines "seed ok"/"seed differs" to BATCH_RESULTS.
TEST(RandomTables, SaveAfterLoadIsIdempotent)
{
    FILE* results = fopen(getenv("TOLMARIN_BATCH_RESULTS") ? getenv("TOLMARIN_BATCH_RESULTS") : "NUL", "w");
    for (unsigned first = EnvNumber("TOLMARIN_FIRST_TABLE", 1), seed = first;
         seed < first + EnvNumber("TOLMARIN_TABLES", 60); ++seed) {
        std::vector<std::string> lines = RunTable(seed);
        EXPECT_EQ(std::vector<std::string>{}, lines) << "seed " << seed;
        fprintf(results, "%u %s, table %u of the batch from seed %u\n", seed,
                lines.empty() ? "ok" : "differs", seed - first + 1, first);
        for (const std::string& line : lines)
            fprintf(results, "    %s\n", line.c_str());
        fflush(results);
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath), DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
}

// `make soak`: TOLMARIN_SOAK tables in children of 500; one ends at a crash or hang, the next goes on after.
TEST(RandomTables, Soak)
{
    unsigned total = EnvNumber("TOLMARIN_SOAK", 0), ran = 0, crashed = 0, hung = 0, differing = 0;
    if (!total)
        GTEST_SKIP() << "set TOLMARIN_SOAK to the number of tables";
    char path[MAX_PATH + 8], command[MAX_PATH + 64], line[512];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    snprintf(command, sizeof(command), "\"%s\" --gtest_filter=RandomTables.SaveAfterLoadIsIdempotent", path);
    SetEnvironmentVariableA("TOLMARIN_BATCH_RESULTS", strcat(path, ".soak"));
    for (unsigned from = 1, end = total + 1, next; from < end; from = next) {
        unsigned last = std::min(from + 500, end);
        SetEnvironmentVariableA("TOLMARIN_FIRST_TABLE", std::to_string(from).c_str());
        SetEnvironmentVariableA("TOLMARIN_TABLES", std::to_string(last - from).c_str());
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        DeleteFileA(path);  // a child ended before it wrote leaves no older results
        ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                   nullptr, &startup, &child));
        bool stopped = false;  // hung: its results grew no more within the limit
        for (DWORD size = ~0u, limit = EnvNumber("TOLMARIN_TABLE_LIMIT_MS", 20000);
             WaitForSingleObject(child.hProcess, limit) == WAIT_TIMEOUT;) {
            WIN32_FILE_ATTRIBUTE_DATA file = {};
            GetFileAttributesExA(path, GetFileExInfoStandard, &file);
            stopped = file.nFileSizeLow == size && TerminateProcess(child.hProcess, 3);
            size = file.nFileSizeLow;
        }
        CloseHandle(child.hProcess), CloseHandle(child.hThread);
        FILE* file = fopen(path, "r");
        for (next = from; file && fgets(line, sizeof(line), file);) {
            if (line[0] != ' ' && sscanf(line, "%u", &next) == 1)
                ++next, ++ran, differing += !strstr(line, " ok,");
            if (!strstr(line, " ok,"))
                printf("soak: %s%s", line[0] == ' ' ? "" : "seed ", line);
        }
        file ? fclose(file) : 0;
        if (next < last)
            printf("soak: seed %u %s, table %u of the batch from seed %u\n", next,
                   stopped ? "hung" : "crashed", next - from + 1, from),
                ++ran, ++(stopped ? hung : crashed), ++next;
    }
    printf("soak: %u tables ran, %u crashed, %u hung, %u not idempotent\n", ran, crashed, hung, differing);
    EXPECT_EQ(std::vector<unsigned>({total, 0, 0, 0}),
              std::vector<unsigned>({ran, crashed, hung, differing}));
}

// Found: a broadcast distribution text holding a quote, slash or dash read back as other options.
TEST(FoundCases, StoredBdtEntryReadsBackTheSame)
{
    char text[80];
    ASSERT_TRUE(FormatBdtEntry({"10.0.0.1 /UDP:", "-1", "255.0.0.0\""}, text, sizeof(text)));
    EXPECT_STREQ("/IP:\"\" /UDP:\"\" /SUBNET:\"\"", text);
}

// A table of every kind loaded and freed; the Port Table dialog, each port's own and the Dial dialog opened.
TEST(Leaks, TableLoadAndEveryDialog)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    const char* const entries[] = {
        "Type=#0;Protocol=#0;Port=#1;Dnet=#1;Nic=",
        "Type=#0;Protocol=#1;Port=#2;Dnet=#2;Secondary_Info=/UDP:0xBAC0;Bip\\Bbmd=#1;Bip\\Num_Bdt_Entries=#1;"
        "Bip\\Bdt_Entry0=/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.255\"",
        "Type=#0;Protocol=#3;Port=#3;Dnet=#3;Secondary_Info=/ioport:0x2E0 /irq:5 /node:7",
        "Type=#1;Port=#4;Dnet=#4",
        "Type=#2;Protocol=#2;Port=#5;Nic=COM1;Ptp_Password=pw;Ptp_Dnets=m:7|8||;PTP\\In_Passwords=m:a|b||",
        "Type=#2;Protocol=#9;Port=#6;Nic=-client /server_port:80;Ptp_Dnets=m:7|8||",
    };
    StoreEntryCount(DWORD(std::size(entries)));
    for (size_t i = 0; i < std::size(entries); ++i)
        StoreValues(HKEY_LOCAL_MACHINE, EntryPath(int(i)), entries[i]);
    ExpectNoGrowth("table load and free", [] { LoadPortTable(), FreePortTable(); });
    LoadPortTable();
    EXPECT_EQ(6, PortTable.count);
    ExpectNoGrowth("Port Table dialog", [] { DestroyWindow(EmbeddedDialog()); });
    Answering answering(IDCANCEL);
    for (PortTableNode* node = PortTable.head; node; node = node->next)
        ExpectNoGrowth(node->port->GetTypeName() + std::string(" ") + node->port->GetProtocolName(),
                       [&] { node->port->Edit(nullptr); });
    char dial[256] = "/dial:ATDT123 /retries:3";
    ExpectNoGrowth("Dial dialog", [&] {
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_DIAL), nullptr, DialDialogProc, LPARAM(dial));
    });
    FreePortTable();
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
