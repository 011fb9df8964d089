// Port Tables made at random from fixed seeds and written straight into the
// registry (every kind, values of the wrong type and size, huge and negative
// counts, over-long, unterminated and damaged texts, multi-strings without
// their closing NULs, missing and extra subkeys, links below the table) are
// loaded, checked (code 3, every message answered, every fifth table in the
// embedded dialog), saved (code 4), reloaded (code 5) and saved again: the
// second save stores exactly what the first stored; a link's target stays.
#include <windows.h>

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/entry_values.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

const char LinkTarget[] = "SOFTWARE\\TolmarinRandomLinkTarget";

// The words of text, split at separator.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> words{""};
    for (char c : text)
        c == separator ? words.push_back("") : words.back().push_back(c);
    return words;
}

// Type, protocol and own subkey of each kind, the known ones and some never stored.
const struct Kind {
    DWORD type, protocol;
    const char* subkey;
} Kinds[] = {{0, 0, ""}, {0, 1, "Bip"}, {0, 3, ""},
             {1, 0, ""}, {2, 2, "PTP"}, {2, 9, ""},
             {2, 5, ""}, {7, 1, "Bip"}, {0xFFFFFFFF, 2, "PTP"}};
const std::vector<std::string> EntryNames =
    Split("Port Connected Dnet Nic Secondary_Info Ptp_Permanent Ptp_Performance Ptp_Password Ptp_Dnets", ' ');
const std::vector<std::string> BipNames = Split(
    "Bbmd Two_Hops This_Subnet_Mask Fdt_Present Max_Fdt_Entries Foreign_Device Fd_Bbmd_Ip Fd_Bbmd_Udp "
    "Fd_Time_To_Live Bdt_Entry0 Bdt_Entry1 Num_Bdt_Entries",
    ' ');
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

// A table made from a seed and stored; the same seed stores the same table.
class RandomTable {
    int Pick(int count) { return int(random() % unsigned(count)); }
    template <class T>
    auto Any(const T& items)
    {
        return items[Pick(int(std::size(items)))];
    }

public:
    explicit RandomTable(unsigned seed) : random(seed)
    {
        DWORD entries = DWORD(Pick(7)), counts[] = {entries + 2, entries - 1, 300, 0xFFFFFFFF, 0x80000000};
        SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", Pick(4) ? entries : Any(counts));
        for (DWORD i = 0; i < entries; ++i)
            StoreEntry(EntryPath(int(i)));
        if (!Pick(8))  // a subkey below an entry beyond the count
            StoreValue(TablePath + std::string("\\Entry9\\Extra"), "Port");
    }

private:
    // A link to LinkTarget at path now and then; true when made.
    bool Link(const std::string& path)
    {
        return !Pick(11) &&
               (links.emplace_back(new RegistryLink(HKEY_LOCAL_MACHINE, path, LinkTarget)), true);
    }

    // A kind's values, the protocol now and then of another form; its
    // subkey missing now and then, the other kind's subkey as an extra one.
    void StoreEntry(const std::string& entry)
    {
        if (Link(entry))
            return;
        Kind kind = Any(Kinds);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Type", kind.type);
        Pick(6) ? SetDword(HKEY_LOCAL_MACHINE, entry, "Protocol", kind.protocol)
                : StoreValue(entry, "Protocol");
        for (const std::string& name : EntryNames)
            StoreValue(entry, name);
        std::string subkey = *kind.subkey && Pick(6) ? kind.subkey : Pick(5) ? "" : Pick(2) ? "Bip" : "PTP";
        if (subkey.empty() || Link(entry + "\\" + subkey))
            return;
        for (const std::string& name : subkey == "Bip" ? BipNames : std::vector<std::string>{"In_Passwords"})
            StoreValue(entry + "\\" + subkey, name);
        if (subkey == "Bip" && Pick(5))  // a table of up to three entries, or a count far too big
            SetDword(HKEY_LOCAL_MACHINE, entry + "\\Bip", "Num_Bdt_Entries", Any(BdtCounts));
    }

    // A text, over-long, damaged (bytes of any value, NULs inside) or at a
    // capacity's edge (one shorter, as long as or one longer) now and then.
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

    // One value of any form, or none.
    void StoreValue(const std::string& key, const std::string& name)
    {
        DWORD number = Pick(2) ? Any(Numbers) : DWORD(Pick(300)), type = REG_SZ;
        std::string bytes;
        switch (Pick(8)) {
        case 0:
            return;
        case 1:
            return SetDword(HKEY_LOCAL_MACHINE, key, name.c_str(), number);
        case 2:  // a string with its NUL, or without
        case 3:
            bytes = Text() + std::string(size_t(Pick(2)), '\0');
            break;
        case 4:  // a multi-string with none, one or both closing NULs
            type = REG_MULTI_SZ;
            for (int i = Pick(4); i >= 0; --i)
                bytes += Text() + (i ? std::string(1, '\0') : std::string(size_t(Pick(3)), '\0'));
            break;
        case 5:  // a number of the wrong size
            type = REG_DWORD;
            bytes.assign(reinterpret_cast<const char*>(&number), 4);
            bytes.resize(size_t(Pick(9)), '\x7F');
            break;
        default:  // any bytes
            type = REG_BINARY;
            for (int i = Pick(12); i > 0; --i)
                bytes += char(Pick(256));
        }
        SetRaw(HKEY_LOCAL_MACHINE, key, name.c_str(), type, bytes.data(), DWORD(bytes.size()));
    }

    std::mt19937 random;
    std::vector<std::unique_ptr<RegistryLink>> links;
};

// Every value below path, "Entry0\Bip\Name=value" (typed) each.
std::set<std::string> StoredTree(const std::string& path)
{
    std::set<std::string> lines;
    std::vector<std::string> keys = SubkeyNames(HKEY_LOCAL_MACHINE, path);
    keys.push_back("");
    for (const std::string& key : keys)
        for (const auto& [name, value] :
             ReadValues(HKEY_LOCAL_MACHINE, key.empty() ? path : path + "\\" + key, true))
            lines.insert(key + (key.empty() ? "" : "\\") + name + "=" + value);
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
    // Deleted as a save deletes it, links and all: a child ended in the
    // middle of a table leaves its links below the table.
    RegKey::DeleteKeyPath(HKEY_LOCAL_MACHINE, TablePath);
    DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
    StoreValues(HKEY_LOCAL_MACHINE, LinkTarget, "Type=#1;Bip\\Num_Bdt_Entries=#1");
    std::set<std::string> target = StoredTree(LinkTarget), saved[2];
    HWND dialog = nullptr;
    const DLGTEMPLATE* dialogTemplate = nullptr;
    {
        RandomTable table(seed);
        FreePortTable();
        LoadPortTable();
        // Embedded as a host does: its rows show every port's texts, and the
        // check selects rows in it and owns its messages.
        if (seed % 5 == 0 && OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate))
            dialog = CreateDialogIndirectParamA(nullptr, dialogTemplate, nullptr, PortTableDialogProc, 0);
        MessageBoxAnswerer answerer;
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_VALIDATE, nullptr);
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr);
    }
    // The links' scope deletes whatever stands at their paths, the saved
    // entries among them; the table in memory is saved again.
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
unsigned first, seed;
volatile DWORD tableStart;

// Ends the child when its table runs past TOLMARIN_TABLE_LIMIT_MS.
DWORD WINAPI Watchdog(void*)
{
    for (DWORD limit = EnvNumber("TOLMARIN_TABLE_LIMIT_MS", 20000);; Sleep(100))
        if (GetTickCount() - tableStart > limit)
            fprintf(results, "%u hung, table %u of the batch from seed %u\n", seed, seed - first + 1, first),
                fflush(results), TerminateProcess(GetCurrentProcess(), 3);
}

}  // namespace

// TOLMARIN_TABLES seeds from TOLMARIN_FIRST_TABLE, in this process: the
// share of `make test` (60), or a child of RandomTables.Soak, which gives
// TOLMARIN_BATCH_RESULTS a line per table: "seed ok", "seed differs, ..."
// and the differing lines, or "seed hung, ..." (the child then ends).
TEST(RandomTables, SaveAfterLoadIsIdempotent)
{
    first = EnvNumber("TOLMARIN_FIRST_TABLE", 1), tableStart = GetTickCount();
    if (const char* path = getenv("TOLMARIN_BATCH_RESULTS")) {
        ASSERT_NE(nullptr, results = fopen(path, "a"));
        CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    }
    for (seed = first; seed < first + EnvNumber("TOLMARIN_TABLES", 60); ++seed, tableStart = GetTickCount()) {
        std::vector<std::string> lines = RunTable(seed);
        EXPECT_EQ(std::vector<std::string>{}, lines) << "seed " << seed;
        if (!results)
            continue;
        fprintf(results, lines.empty() ? "%u ok\n" : "%u differs, table %u of the batch from seed %u\n", seed,
                seed - first + 1, first);
        for (const std::string& line : lines)
            fprintf(results, "    %s\n", line.c_str());
        fflush(results);
    }
}

// `make soak`: TOLMARIN_SOAK tables from seed 1, in child processes of 500
// (a crash or a hang ends a child, the next goes on after it), printing
// every failing table's seed, place and differences.
TEST(RandomTables, Soak)
{
    unsigned total = EnvNumber("TOLMARIN_SOAK", 0), ran = 0, crashed = 0, hung = 0, differing = 0;
    if (!total)
        GTEST_SKIP() << "set TOLMARIN_SOAK to the number of tables";
    char self[MAX_PATH], command[MAX_PATH + 64], path[MAX_PATH + 8], line[512];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    snprintf(command, sizeof(command), "\"%s\" --gtest_filter=RandomTables.SaveAfterLoadIsIdempotent", self);
    snprintf(path, sizeof(path), "%s.soak", self);
    SetEnvironmentVariableA("TOLMARIN_BATCH_RESULTS", path);
    for (unsigned from = 1, end = total + 1, next; from < end; from = next) {
        unsigned last = std::min(from + 500, end);
        SetEnvironmentVariableA("TOLMARIN_FIRST_TABLE", std::to_string(from).c_str());
        SetEnvironmentVariableA("TOLMARIN_TABLES", std::to_string(last - from).c_str());
        DeleteFileA(path);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                                   nullptr, &startup, &child));
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess), CloseHandle(child.hThread);
        bool stopped = false;
        next = from;
        FILE* file = fopen(path, "r");
        while (file && fgets(line, sizeof(line), file)) {
            bool detail = line[0] == ' ';
            if (!detail && sscanf(line, "%u", &next) == 1)
                ++next, ++ran, differing += !!strstr(line, " differs"),
                    hung += stopped = !!strstr(line, " hung");
            if (detail || !strstr(line, " ok\n"))
                printf("soak: %s%s", detail ? "" : "seed ", line);
        }
        if (file)
            fclose(file);
        if (next < last && !stopped)
            printf("soak: seed %u crashed, table %u of the batch from seed %u\n", next, next - from + 1,
                   from),
                ++next, ++ran, ++crashed;
    }
    SetEnvironmentVariableA("TOLMARIN_BATCH_RESULTS", nullptr);
    printf("soak: %u tables ran, %u crashed, %u hung, %u not idempotent\n", ran, crashed, hung, differing);
    EXPECT_EQ(std::vector<unsigned>({total, 0, 0, 0}),
              std::vector<unsigned>({ran, crashed, hung, differing}));
}
