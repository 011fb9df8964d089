// Control code 6 of the built DLL against real services: test_service.cpp installed as "orvanta" and
// "vemto". Deleting "orvanta" takes its key and the Port Table below it, so the key is copied aside.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

extern "C" LONG WINAPI RegCopyTreeA(HKEY source, LPCSTR subKey, HKEY destination);

namespace {

const char Config[] = "SOFTWARE\\TolmarinServiceTest", Backup[] = "SOFTWARE\\TolmarinServiceTest\\Backup";
const char StackKey[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta";
HANDLE quit = CreateEventA(0, TRUE, FALSE, "TolmarinServiceTestQuit");  // ends every test service
SC_HANDLE manager = OpenSCManagerA(0, 0, SC_MANAGER_ALL_ACCESS);
struct Service {
    SC_HANDLE handle;
    ~Service() { CloseServiceHandle(handle); }
};
Service Open(const char* name) { return {OpenServiceA(manager, name, SERVICE_ALL_ACCESS)}; }

// The service's state once not pending (3 s at most); 0 when not installed.
DWORD State(const char* name)
{
    SERVICE_STATUS status = {};
    for (int i = 0;
         i < 30 && QueryServiceStatus(Open(name).handle, &status) &&
         (status.dwCurrentState == SERVICE_START_PENDING || status.dwCurrentState == SERVICE_STOP_PENDING);
         ++i)
        Sleep(100);
    return status.dwCurrentState;
}

void StopAll()
{
    SetEvent(quit);
    for (int i = 0; i < 50 && (State("orvanta") > SERVICE_STOPPED || State("vemto") > SERVICE_STOPPED); ++i)
        Sleep(100);
    ResetEvent(quit);
}

// Leaves the service absent (null), stopped ("") or running in mode, with next as its mode at its next
// start. Right after the prefix's start the service database may be locked (1055) for a while.
void Prepare(const char* name, const char* mode, const char* next)
{
    if (!mode)
        return void(DeleteService(Open(name).handle));
    char path[MAX_PATH];
    std::string program(path, GetModuleFileNameA(0, path, MAX_PATH));
    program = program.substr(0, program.rfind('\\') + 1) + "tolmarin_test_service.exe";
    for (int i = 0; i < 100 && !Open(name).handle; ++i)
        if (!Service{CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                    SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, program.c_str(), 0, 0, 0, 0,
                                    0)}
                 .handle)
            Sleep(100);
    SetString(HKEY_LOCAL_MACHINE, Config, name, mode);
    if (*mode)
        StartServiceA(Open(name).handle, 0, 0), State(name);
    SetString(HKEY_LOCAL_MACHINE, Config, name, next);
}

struct Services : testing::Environment {
    void SetUp() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, Config);
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, Backup, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0);
        backedUp = !RegCopyTreeA(HKEY_LOCAL_MACHINE, StackKey, key);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        StopAll();
        Prepare("orvanta", nullptr, ""), Prepare("vemto", nullptr, "");
        HKEY key;
        if (backedUp && !RegCreateKeyExA(HKEY_LOCAL_MACHINE, StackKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0))
            RegCopyTreeA(HKEY_LOCAL_MACHINE, Backup, key), RegCloseKey(key);
        DeleteTree(HKEY_LOCAL_MACHINE, Config);
    }
    bool backedUp = false;
};
testing::Environment* const services = testing::AddGlobalTestEnvironment(new Services);

}  // namespace

// Each case: the services before (null absent, "" stopped, else the mode they run in), orvanta's mode at
// its next start, and the answer to the question (0: code 6 gets an argument and does not ask); then the
// failure shown, the controls the services saw, and whether it took the 10-second wait. The boxes are
// unowned "Orvanta Message" boxes, their style after the text; the wait cursor shows behind failures.
TEST(RestartServices, SequenceMessagesAndStates)
{
    const std::string Question =
        "Orvanta Protocol Properties have changed. Do you want to restart the Orvanta now?\n\nIf you choose "
        "Yes, the Orvanta protocol will be restarted immediately.\nMake sure to close all running Orvanta "
        "applications.\n\nIf you choose No, changes will not take effect until the Orvanta or Windows are "
        "restarted.|36|";
    const std::tuple<const char*, const char*, const char*, int, const char*, const char*, bool> cases[] = {
        {"run", "run", "run", IDYES, "", "orvanta:stop vemto:stop vemto:start orvanta:start ", false},
        {"run", "run", "run", IDNO, "", "", false},
        {"", "run", "run", 0, "", "vemto:stop vemto:start orvanta:start ", false},
        {nullptr, "", "run", 0, "The Orvanta service cannot be accessed|16|", "", false},
        {"bounce", "run", "run", 0, "Couldn't stop the Orvanta service|16|",
         "orvanta:stop vemto:stop vemto:start ", false},
        {"run", "pending", "run", 0, "Couldn't start the Orvanta service|16|",
         "orvanta:stop vemto:stop vemto:start orvanta:start ", true},
    };
    LoadedDll dll;
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW), wait = LoadCursorA(nullptr, IDC_WAIT);
    for (auto [stack, stackNext, driverMode, answer, failure, seenExpected, slow] : cases) {
        SCOPED_TRACE(testing::Message() << "stack " << (stack ? stack : "absent") << ", next " << stackNext);
        StopAll();
        Prepare("vemto", driverMode, "run");
        Prepare("orvanta", stack, stackNext);
        SetString(HKEY_LOCAL_MACHINE, Config, "Seen", "");
        std::string shown;
        HCURSOR cursor = nullptr;  // while the last message box is shown
        auto look = [&](HWND) { cursor = GetCursor(); };
        DialogDriver driver(15000);
        answer ? void(driver.OnMessageBox(answer, look)) : void();
        *failure ? void(driver.OnMessageBox(IDOK, look)) : void();
        SetCursor(arrow);
        DWORD start = GetTickCount();
        EXPECT_EQ(1, dll.Ioctl()(TOLMARIN_IOCTL_RESTART_SERVICES, answer ? nullptr : &start));
        DWORD elapsed = GetTickCount() - start;
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            shown += (box.caption == "Orvanta Message" && !box.owner ? "" : "?") + box.text + "|" +
                     std::to_string(box.style) + "|";
        EXPECT_EQ((answer ? Question : "") + failure, shown);
        EXPECT_EQ(*failure ? wait : answer ? arrow : nullptr, cursor);
        EXPECT_EQ(arrow, GetCursor());
        std::vector<BYTE> seen;
        GetRaw(HKEY_LOCAL_MACHINE, Config, "Seen", nullptr, &seen);
        EXPECT_STREQ(seenExpected, reinterpret_cast<const char*>(seen.data()));
        EXPECT_EQ(slow, elapsed >= 10000) << elapsed << " ms";
        EXPECT_GT(slow ? 12000u : 5000u, elapsed);
    }
}
