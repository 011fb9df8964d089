// Port Tables made at random from fixed seeds and written straight into the
// registry: every kind, values of the wrong type and size, huge and negative
// counts, over-long, unterminated and damaged strings, multi-strings without
// their closing NULs, missing and extra subkeys, registry links below the
// table. Each is loaded, checked (code 3, every message answered), saved
// (code 4), reloaded (code 5) and saved again: the second save must store
// exactly what the first stored, and a link's target must stay as it was.
// Every fifth table is shown in the embedded Port Table dialog meanwhile.
// `make soak` runs many more through RandomTables.Soak, in batches of child
// processes so that a crash or a hang is counted.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/entry_values.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

const char LinkTarget[] = "SOFTWARE\\TolmarinRandomLinkTarget";

struct Kind {
    DWORD type, protocol;
    const char* subkey;  // the kind's own subkey, or null
};
const Kind Kinds[] = {{0, 0, nullptr}, {0, 1, "Bip"},   {0, 3, nullptr}, {1, 0, nullptr},       {2, 2, "PTP"},
                      {2, 9, nullptr}, {2, 5, nullptr}, {7, 1, "Bip"},   {0xFFFFFFFF, 2, "PTP"}};
const std::vector<const char*>
    EntryNames = {"Port",          "Connected",       "Dnet",         "Nic",      "Secondary_Info",
                  "Ptp_Permanent", "Ptp_Performance", "Ptp_Password", "Ptp_Dnets"},
    BipNames = {"Bbmd",           "Two_Hops",   "This_Subnet_Mask", "Fdt_Present",     "Max_Fdt_Entries",
                "Foreign_Device", "Fd_Bbmd_Ip", "Fd_Bbmd_Udp",      "Fd_Time_To_Live", "Bdt_Entry0",
                "Bdt_Entry1"},
    PtpNames = {"In_Passwords"};
const char* const Texts[] = {"",
                             "0",
                             "/UDP:0xBAC0",
                             "/udp:47808 /extra",
                             "192.168.1.10",
                             "255.255.255.0",
                             "COM1",
                             "/ioport:0x2E0 /irq:5 /node:7 /speed:3",
                             "-client /server_port:80 /proxy:1.2.3.4",
                             "-server /port:-1",
                             "/dial:ATDT123 /retries:-5",
                             "10.0.0.1/47808/255.255.255.255",
                             "/a: /:b //::",
                             "/x:99999999999999999999999",
                             "%s%n%d",
                             "0x",
                             "08",
                             "-2147483648",
                             "/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.0\"",
                             "/IP:\"10.0.0.1 /UDP:\"0xBAC0 /SUBNET:"};
const DWORD Numbers[] = {0, 1, 2, 5, 255, 256, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

// A table made from a seed and stored; the same seed stores the same table.
class RandomTable {
public:
    explicit RandomTable(unsigned seed) : random(seed)
    {
        DWORD entries = DWORD(Pick(7));
        const DWORD counts[] = {entries,     entries, entries,    entries + 2,
                                entries - 1, 300,     0xFFFFFFFF, 0x80000000};
        SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", Pick(4) ? counts[Pick(3)] : Any(counts));
        for (int i = 0; i < int(entries); ++i)
            StoreEntry(EntryPath(i));
        if (!Pick(8))
            StoreValue(TablePath + std::string("\\Entry9\\Extra"), "Port");
    }

private:
    int Pick(int count) { return int(random() % unsigned(count)); }
    template <class T, size_t N>
    T Any(const T (&items)[N])
    {
        return items[Pick(int(N))];
    }

    void StoreEntry(const std::string& entry)
    {
        if (!Pick(12))
            return links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, entry, LinkTarget)), void();
        const Kind kind = Any(Kinds);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Type", kind.type);
        if (Pick(6))
            SetDword(HKEY_LOCAL_MACHINE, entry, "Protocol", kind.protocol);
        else
            StoreValue(entry, "Protocol");
        for (const char* name : EntryNames)
            StoreValue(entry, name);
        // The kind's subkey, missing now and then, a link now and then; the
        // other kind's subkey as an extra one.
        const char* subkey = kind.subkey && Pick(6) ? kind.subkey
                             : Pick(5)              ? nullptr
                             : Pick(2)              ? "Bip"
                                                    : "PTP";
        if (!subkey)
            return;
        std::string path = entry + "\\" + subkey;
        if (!Pick(10))
            return links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, path, LinkTarget)), void();
        for (const char* name : subkey[0] == 'B' ? BipNames : PtpNames)
            StoreValue(path, name);
        const DWORD bdtCounts[] = {0, 1, 2, 3, 1000, 0xFFFFFFFF, 0x80000000};
        if (subkey[0] == 'B')
            Pick(5) ? SetDword(HKEY_LOCAL_MACHINE, path, "Num_Bdt_Entries", Any(bdtCounts))
                    : StoreValue(path, "Num_Bdt_Entries");
    }

    std::string Text()
    {
        std::string text = Any(Texts);
        const int edges[] = {16, 20, 24, 32, 64, 80, 128, 256, 261};
        switch (Pick(6)) {
        case 0:  // over-long
            for (int length = 200 + Pick(3000); int(text.size()) < length;)
                text += Any(Texts) + std::string(Pick(2) ? "x" : "/");
            break;
        case 1:  // damaged: bytes of any value, NULs inside
            for (int i = Pick(80); i > 0; --i)
                text.insert(text.begin() + Pick(int(text.size()) + 1), char(Pick(256)));
            break;
        case 2:  // at a buffer's edge: one shorter, as long as or one longer than a capacity
            text.resize(size_t(Any(edges) + Pick(3) - 1), Pick(2) ? '9' : '/');
        }
        return text;
    }

    // One value of any form, or none.
    void StoreValue(const std::string& key, const char* name)
    {
        std::string bytes;
        DWORD type = REG_SZ, number = Any(Numbers);
        switch (Pick(9)) {
        case 0:
            return;
        case 1:
        case 2:
            return SetDword(HKEY_LOCAL_MACHINE, key, name, Pick(2) ? number : DWORD(Pick(300)));
        case 3:
        case 4:  // a string with its NUL
            bytes = Text() + '\0';
            break;
        case 5:  // a string without its NUL
            bytes = Text();
            break;
        case 6:  // a multi-string with none, one or both closing NULs
            type = REG_MULTI_SZ;
            for (int i = Pick(4); i >= 0; --i)
                bytes += Text() + '\0';
            bytes.resize(bytes.size() - 1);
            bytes += std::string(size_t(Pick(3)), '\0');
            break;
        case 7:  // a number of the wrong size
            type = REG_DWORD;
            bytes.assign(reinterpret_cast<const char*>(&number), 4);
            bytes.resize(size_t(Pick(9)), '\x7F');
            break;
        default:  // any bytes
            type = REG_BINARY;
            for (int i = Pick(12); i > 0; --i)
                bytes += char(Pick(256));
        }
        SetRaw(HKEY_LOCAL_MACHINE, key, name, type, bytes.data(), DWORD(bytes.size()));
    }

    std::mt19937 random;
    std::vector<std::unique_ptr<RegistryLink>> links;
};

// Every value below path, "Entry0\Bip\Name=value" (typed) each.
std::set<std::string> StoredTree(const std::string& path)
{
    std::set<std::string> lines;
    std::vector<std::string> keys{""};
    for (const std::string& subkey : SubkeyNames(HKEY_LOCAL_MACHINE, path))
        keys.push_back(subkey + "\\");
    for (const std::string& key : keys)
        for (const auto& [name, value] : ReadValues(HKEY_LOCAL_MACHINE, path + "\\" + key, true))
            lines.insert(key + name + "=" + value);
    return lines;
}

// Answers every message box of the thread with OK while in scope.
struct MessageBoxAnswerer {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        char name[16] = "";
        if (code == HCBT_ACTIVATE && GetClassNameA(HWND(wParam), name, sizeof(name)) &&
            !strcmp(name, "#32770"))
            PostMessageA(HWND(wParam), WM_COMMAND, IDOK, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    ~MessageBoxAnswerer() { UnhookWindowsHookEx(hook); }
};

// One table's road through the control codes a host uses: the lines one
// save stored and the other did not ("1: " or "2: " before each), and
// whether the link target changed.
std::vector<std::string> RunTable(unsigned seed)
{
    // Deleted as a save deletes it, links and all: a child ended in the middle
    // of a table leaves its links below the table.
    RegKey::DeleteKeyPath(HKEY_LOCAL_MACHINE, TablePath);
    DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    StoreValues(HKEY_LOCAL_MACHINE, LinkTarget, "Type=#1;Bip\\Num_Bdt_Entries=#1");
    std::set<std::string> target = StoredTree(LinkTarget), first, second;
    HWND dialog = nullptr;
    {
        RandomTable table(seed);
        FreePortTable();
        LoadPortTable();
        // Embedded as a host does: its rows show every port's texts, and the
        // check selects rows in it and owns its messages.
        const DLGTEMPLATE* dialogTemplate = nullptr;
        if (seed % 5 == 0 && OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate))
            dialog = CreateDialogIndirectParamA(nullptr, dialogTemplate, nullptr, PortTableDialogProc, 0);
        MessageBoxAnswerer answerer;
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_VALIDATE, nullptr);
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    }
    // The links' scope deletes whatever stands at their paths, the saved
    // entries among them; the table in memory is saved again.
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    first = StoredTree(TablePath);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RELOAD, nullptr);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    second = StoredTree(TablePath);
    DestroyWindow(dialog);
    FreePortTable();
    std::vector<std::string> lines;
    for (const auto& [one, other, mark] : {std::tie(first, second, "1: "), std::tie(second, first, "2: ")})
        for (const std::string& line : one)
            if (!other.count(line))
                lines.push_back(mark + line.substr(0, 200));
    if (target != StoredTree(LinkTarget))
        lines.push_back("link target changed");
    return lines;
}

struct Cleanup : testing::Environment {
    void TearDown() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath), DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    }
};
testing::Environment* const cleanup = testing::AddGlobalTestEnvironment(new Cleanup);

unsigned EnvNumber(const char* name, unsigned fallback)
{
    const char* text = getenv(name);
    return text && *text ? unsigned(strtoul(text, nullptr, 10)) : fallback;
}

// What a batch child shares with its watchdog thread.
FILE* results;
unsigned seed;
volatile DWORD tableStart;

// Ends the child when its table runs past TOLMARIN_TABLE_LIMIT_MS.
DWORD WINAPI Watchdog(void*)
{
    for (DWORD limit = EnvNumber("TOLMARIN_TABLE_LIMIT_MS", 20000);; Sleep(100))
        if (GetTickCount() - tableStart > limit)
            fprintf(results, "%u hung\n", seed), fflush(results), TerminateProcess(GetCurrentProcess(), 3);
}

}  // namespace

// The share of `make test`: the first seeds, in this process.
TEST(RandomTables, SaveAfterLoadIsIdempotent)
{
    unsigned first = EnvNumber("TOLMARIN_FIRST_TABLE", 1);
    for (unsigned seed = first; seed < first + EnvNumber("TOLMARIN_TABLES", 120); ++seed)
        EXPECT_EQ(std::vector<std::string>{}, RunTable(seed)) << "seed " << seed;
}

// A child of RandomTables.Soak: runs the seeds "first count" of
// TOLMARIN_BATCH in order, one line per table into TOLMARIN_BATCH_RESULTS:
// "seed ok", "seed differs" and the differing lines, or "seed hung".
TEST(RandomTables, Batch)
{
    unsigned first = 0, count = 0;
    if (sscanf(getenv("TOLMARIN_BATCH") ? getenv("TOLMARIN_BATCH") : "", "%u %u", &first, &count) != 2)
        GTEST_SKIP() << "run by RandomTables.Soak";
    ASSERT_NE(nullptr, results = fopen(getenv("TOLMARIN_BATCH_RESULTS"), "a"));
    tableStart = GetTickCount();
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    for (seed = first; seed < first + count; ++seed, tableStart = GetTickCount()) {
        std::vector<std::string> lines = RunTable(seed);
        fprintf(results, "%u %s\n", seed, lines.empty() ? "ok" : "differs");
        for (const std::string& line : lines)
            fprintf(results, " %s\n", line.c_str());
        fflush(results);
    }
}

// `make soak`: TOLMARIN_SOAK tables from seed 1 in child processes of 500
// seeds each (a crash or a hang ends a child; the next one goes on after
// it), and every failing table's seed, place and differences.
TEST(RandomTables, Soak)
{
    unsigned total = EnvNumber("TOLMARIN_SOAK", 0);
    if (!total)
        GTEST_SKIP() << "set TOLMARIN_SOAK to the number of tables";
    unsigned ran = 0, crashed = 0, hung = 0, differing = 0;
    char self[MAX_PATH], command[MAX_PATH + 64], batch[32], path[MAX_PATH + 8], line[512];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    snprintf(command, sizeof(command), "\"%s\" --gtest_filter=RandomTables.Batch", self);
    snprintf(path, sizeof(path), "%s.soak", self);
    SetEnvironmentVariableA("TOLMARIN_BATCH_RESULTS", path);
    for (unsigned first = 1, end = total + 1, next; first < end; first = next) {
        snprintf(batch, sizeof(batch), "%u %u", first, std::min(500u, end - first));
        SetEnvironmentVariableA("TOLMARIN_BATCH", batch);
        DeleteFileA(path);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                   nullptr, &startup, &child));
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess), CloseHandle(child.hThread);
        bool stopped = false;
        next = first;
        if (FILE* file = fopen(path, "r")) {
            for (unsigned at; fgets(line, sizeof(line), file);) {
                char outcome[16] = "";
                if (line[0] == ' ')
                    printf("soak: %s", line);
                else if (sscanf(line, "%u %15s", &at, outcome) == 2 && (next = at + 1) && ++ran &&
                         strcmp(outcome, "ok"))
                    printf("soak: seed %u %s, table %u of the batch from seed %u\n", at, outcome,
                           at - first + 1, first);
                differing += !strcmp(outcome, "differs"), hung += stopped = !strcmp(outcome, "hung");
            }
            fclose(file);
        }
        if (next < std::min(first + 500, end) && !stopped) {
            printf("soak: seed %u crashed, table %u of the batch from seed %u\n", next, next - first + 1,
                   first);
            ++next, ++ran, ++crashed;
        }
    }
    SetEnvironmentVariableA("TOLMARIN_BATCH", nullptr);
    printf("soak: %u tables ran, %u crashed, %u hung, %u not idempotent\n", ran, crashed, hung, differing);
    EXPECT_EQ(total, ran);
    EXPECT_EQ(std::vector<unsigned>({0, 0, 0}), std::vector<unsigned>({crashed, hung, differing}));
}
