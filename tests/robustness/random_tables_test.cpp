// Port Tables made at random from fixed seeds and written straight into the
// registry: every kind, values of the wrong type and size, huge and negative
// counts, over-long, unterminated and damaged strings, multi-strings without
// their closing NULs, missing and extra subkeys, registry links below the
// table. Each is loaded, checked (code 3, every message answered), saved
// (code 4), reloaded (code 5) and saved again: the second save must store
// exactly what the first stored, and a link's target must stay as it was.
// Every fifth table is shown in the embedded Port Table dialog meanwhile.
//
// `make soak` runs many more seeds through RandomTables.Soak, which runs
// them in batches in child processes so that a crash or a hang is counted.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "ports/port_table.h"
#include "support/registry_sandbox.h"
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
const char* const EntryNames[] = {
    "Port",          "Connected",       "Dnet",         "Nic",      "Secondary_Info",
    "Ptp_Permanent", "Ptp_Performance", "Ptp_Password", "Ptp_Dnets"};
const char* const BipNames[] = {
    "Bbmd",       "Two_Hops",    "This_Subnet_Mask", "Fdt_Present", "Max_Fdt_Entries", "Foreign_Device",
    "Fd_Bbmd_Ip", "Fd_Bbmd_Udp", "Fd_Time_To_Live",  "Bdt_Entry0",  "Bdt_Entry1"};
const char* const PtpNames[] = {"In_Passwords"};
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

// A table made from a seed; the same seed makes the same table.
class RandomTable {
public:
    explicit RandomTable(unsigned seed) : random(seed) {}

    void Store()
    {
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        int entries = Pick(7);
        const DWORD counts[] = {DWORD(entries),     DWORD(entries),     DWORD(entries),
                                DWORD(entries + 2), DWORD(entries - 1), 300,
                                0xFFFFFFFF,         0x80000000};
        SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", Pick(4) ? counts[Pick(3)] : counts[Pick(8)]);
        for (int i = 0; i < entries; ++i)
            StoreEntry(EntryPath(i));
        if (!Pick(8))
            StoreValue(TablePath + std::string("\\Entry9\\Extra"), "Port");
    }

private:
    int Pick(int count) { return int(random() % unsigned(count)); }

    void StoreEntry(const std::string& entry)
    {
        if (!Pick(12)) {
            links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, entry, LinkTarget));
            return;
        }
        const Kind& kind = Kinds[Pick(int(std::size(Kinds)))];
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
        if (!Pick(10)) {
            links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, path, LinkTarget));
            return;
        }
        bool bip = subkey[0] == 'B';
        for (const char* name : bip ? std::vector<const char*>(std::begin(BipNames), std::end(BipNames))
                                    : std::vector<const char*>(std::begin(PtpNames), std::end(PtpNames)))
            StoreValue(path, name);
        if (bip)
            StoreBdtCount(path);
    }

    void StoreBdtCount(const std::string& bip)
    {
        const DWORD counts[] = {0, 1, 2, 3, 1000, 0xFFFFFFFF, 0x80000000};
        if (Pick(5))
            SetDword(HKEY_LOCAL_MACHINE, bip, "Num_Bdt_Entries", counts[Pick(int(std::size(counts)))]);
        else
            StoreValue(bip, "Num_Bdt_Entries");
    }

    std::string Text()
    {
        std::string text = Texts[Pick(int(std::size(Texts)))];
        switch (Pick(6)) {
        case 0:  // over-long
            for (int length = 200 + Pick(3000); int(text.size()) < length;)
                text += Texts[Pick(int(std::size(Texts)))] + std::string(Pick(2) ? "x" : "/");
            break;
        case 2: {  // at a buffer's edge: one shorter, as long as or one longer than a capacity
            const int edges[] = {16, 20, 24, 32, 64, 80, 128, 256, 261};
            text.resize(size_t(edges[Pick(int(std::size(edges)))] + Pick(3) - 1), Pick(2) ? '9' : '/');
            break;
        }
        case 1:  // damaged: bytes of any value, NULs inside
            for (int i = Pick(80); i > 0; --i)
                text.insert(text.begin() + Pick(int(text.size()) + 1), char(Pick(256)));
            break;
        }
        return text;
    }

    // One value of any form, or none.
    void StoreValue(const std::string& key, const char* name)
    {
        std::string bytes;
        DWORD type = REG_SZ, number = Numbers[Pick(int(std::size(Numbers)))];
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
            bytes.resize(bytes.size() - (bytes.empty() ? 0 : 1));
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

// Every value below path, sorted: "subkey\name type bytes", one line each.
void Dump(HKEY root, const std::string& path, const std::string& prefix, std::vector<std::string>& lines)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    static char name[16384];
    static BYTE data[65536];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof(name), size = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::string line = prefix + name + " " + std::to_string(type) + " ";
        for (DWORD b = 0; b < size; ++b)
            line += "0123456789ABCDEF"[data[b] >> 4], line += "0123456789ABCDEF"[data[b] & 15];
        lines.push_back(line);
    }
    for (const std::string& subkey : SubkeyNames(root, path))
        Dump(root, path + "\\" + subkey, prefix + subkey + "\\", lines);
    RegCloseKey(key);
}

std::vector<std::string> DumpTree(HKEY root, const std::string& path)
{
    std::vector<std::string> lines;
    Dump(root, path, "", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Answers every message box of the thread with OK while in scope.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {}
    ~MessageBoxAnswerer() { UnhookWindowsHookEx(hook); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        char name[16] = "";
        if (code == HCBT_ACTIVATE && GetClassNameA(HWND(wParam), name, sizeof(name)) &&
            !strcmp(name, "#32770"))
            PostMessageA(HWND(wParam), WM_COMMAND, IDOK, 0);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
};

struct Outcome {
    std::vector<std::string> first, second;  // the stored tree after each save
    bool targetKept;
    // The lines stored by one save and not by the other, "1: " or "2: " before each.
    std::vector<std::string> Differences() const
    {
        std::vector<std::string> lines;
        for (const auto& [one, other, mark] :
             {std::tie(first, second, "1: "), std::tie(second, first, "2: ")})
            for (const std::string& line : one)
                if (!std::binary_search(other.begin(), other.end(), line))
                    lines.push_back(mark + line.substr(0, 200));
        return lines;
    }
};

// One table's road through the control codes a host uses.
Outcome RunTable(unsigned seed)
{
    DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    SetDword(HKEY_LOCAL_MACHINE, LinkTarget, "Type", 1);
    SetDword(HKEY_LOCAL_MACHINE, std::string(LinkTarget) + "\\Bip\\Kept", "Num_Bdt_Entries", 1);
    std::vector<std::string> target = DumpTree(HKEY_LOCAL_MACHINE, LinkTarget);
    Outcome outcome;
    HWND dialog = nullptr;
    {
        RandomTable table(seed);
        table.Store();
        FreePortTable();
        LoadPortTable();
        // Embedded as a host does: its rows show every port's texts, and the
        // check selects rows in it and owns its messages.
        const DLGTEMPLATE* dialogTemplate = nullptr;
        if (seed % 5 == 0 && OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate))
            dialog = CreateDialogIndirectParamA(nullptr, dialogTemplate, nullptr, PortTableDialogProc, 0);
        {
            MessageBoxAnswerer answerer;
            OrvantaPropertiesIoctl(TOLMARIN_IOCTL_VALIDATE, nullptr);
        }
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    }
    // The links' scope deletes whatever stands at their paths, the saved
    // entries among them; the table in memory is saved again.
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    outcome.first = DumpTree(HKEY_LOCAL_MACHINE, TablePath);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RELOAD, nullptr);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    outcome.second = DumpTree(HKEY_LOCAL_MACHINE, TablePath);
    outcome.targetKept = target == DumpTree(HKEY_LOCAL_MACHINE, LinkTarget);
    DestroyWindow(dialog);
    FreePortTable();
    return outcome;
}

struct Cleanup : testing::Environment {
    void TearDown() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    }
};
testing::Environment* const cleanup = testing::AddGlobalTestEnvironment(new Cleanup);

int EnvNumber(const char* name, int fallback)
{
    const char* text = getenv(name);
    return text && *text ? atoi(text) : fallback;
}

}  // namespace

// The share of `make test`: the first seeds, in this process.
TEST(RandomTables, SaveAfterLoadIsIdempotent)
{
    unsigned first = unsigned(EnvNumber("TOLMARIN_FIRST_TABLE", 1));
    for (unsigned seed = first; seed < first + unsigned(EnvNumber("TOLMARIN_TABLES", 120)); ++seed) {
        Outcome outcome = RunTable(seed);
        EXPECT_EQ(std::vector<std::string>{}, outcome.Differences()) << "seed " << seed;
        EXPECT_TRUE(outcome.targetKept) << "seed " << seed;
    }
}

// A child of RandomTables.Soak: runs the seeds "first count" of
// TOLMARIN_BATCH, one result line per table into TOLMARIN_BATCH_RESULTS.
TEST(RandomTables, Batch)
{
    const char* batch = getenv("TOLMARIN_BATCH");
    if (!batch)
        GTEST_SKIP() << "run by RandomTables.Soak";
    unsigned first = 0, count = 0;
    sscanf(batch, "%u %u", &first, &count);
    FILE* results = fopen(getenv("TOLMARIN_BATCH_RESULTS"), "a");
    ASSERT_NE(nullptr, results);
    for (unsigned seed = first; seed < first + count; ++seed) {
        Outcome outcome = RunTable(seed);
        bool same = outcome.first == outcome.second && outcome.targetKept;
        fprintf(results, "%u %s\n", seed, same ? "ok" : "differs");
        if (!same) {
            fprintf(results, " seed %u, table %u of the batch from seed %u%s\n", seed, seed - first + 1,
                    first, outcome.targetKept ? "" : ", link target changed");
            for (const std::string& line : outcome.Differences())
                fprintf(results, " %s\n", line.c_str());
        }
        fflush(results);
    }
    fclose(results);
}

namespace {

struct SoakCounts {
    int ran = 0, crashed = 0, hung = 0, differing = 0;
};

// Lines of the results file: how many tables finished, how many differed.
void ReadResults(const char* path, int& done, int& differing, bool report = false)
{
    done = differing = 0;
    char line[512];
    if (FILE* file = fopen(path, "r")) {
        while (fgets(line, sizeof(line), file))
            if (line[0] != ' ')
                ++done, differing += strstr(line, "differs") != nullptr;
            else if (report)
                printf("soak:%s", line);
        fclose(file);
    }
}

// Runs seeds [first, first + count) in a child; returns the seed to go on from.
unsigned RunBatch(unsigned first, unsigned count, DWORD tableLimitMs, SoakCounts& counts)
{
    char self[MAX_PATH], command[MAX_PATH + 64], batch[32], results[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    snprintf(command, sizeof(command), "\"%s\" --gtest_filter=RandomTables.Batch", self);
    snprintf(batch, sizeof(batch), "%u %u", first, count);
    snprintf(results, sizeof(results), "%s.soak", self);
    DeleteFileA(results);
    SetEnvironmentVariableA("TOLMARIN_BATCH", batch);
    SetEnvironmentVariableA("TOLMARIN_BATCH_RESULTS", results);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE quiet = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = quiet;
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
        ADD_FAILURE() << "no child process: " << GetLastError();
        CloseHandle(quiet);
        return first + count;
    }
    int done = 0, differing = 0, seen = 0;
    DWORD progress = GetTickCount();
    bool exited = false;
    while (!exited) {
        exited = WaitForSingleObject(child.hProcess, 200) == WAIT_OBJECT_0;
        ReadResults(results, done, differing);
        if (done != seen)
            seen = done, progress = GetTickCount();
        else if (!exited && GetTickCount() - progress > tableLimitMs) {
            TerminateProcess(child.hProcess, 3);
            WaitForSingleObject(child.hProcess, INFINITE);
            ReadResults(results, done, differing);
            ++counts.hung;
            break;
        }
    }
    ReadResults(results, done, differing, true);
    if (exited && unsigned(done) < count)
        ++counts.crashed;
    bool stopped = unsigned(done) < count;
    if (stopped)
        printf("soak: seed %u %s, table %d of the batch from seed %u\n", first + unsigned(done),
               exited ? "crashed" : "hung", done + 1, first);
    counts.ran += done + stopped;
    counts.differing += differing;
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CloseHandle(quiet);
    DeleteFileA(results);
    SetEnvironmentVariableA("TOLMARIN_BATCH", nullptr);
    return first + unsigned(done) + stopped;
}

}  // namespace

// `make soak`: TOLMARIN_SOAK tables from seed 1, in batches of child
// processes, each table given TOLMARIN_TABLE_LIMIT_MS before it counts as hung.
TEST(RandomTables, Soak)
{
    int total = EnvNumber("TOLMARIN_SOAK", 0);
    if (total <= 0)
        GTEST_SKIP() << "set TOLMARIN_SOAK to the number of tables";
    DWORD limit = DWORD(EnvNumber("TOLMARIN_TABLE_LIMIT_MS", 20000));
    SoakCounts counts;
    for (unsigned seed = 1, end = unsigned(total) + 1; seed < end;)
        seed = RunBatch(seed, end - seed < 500 ? end - seed : 500, limit, counts);
    printf("soak: %d tables ran, %d crashed, %d hung, %d not idempotent\n", counts.ran, counts.crashed,
           counts.hung, counts.differing);
    EXPECT_EQ(total, counts.ran);
    EXPECT_EQ(0, counts.crashed);
    EXPECT_EQ(0, counts.hung);
    EXPECT_EQ(0, counts.differing);
}
