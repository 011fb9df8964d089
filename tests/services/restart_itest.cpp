// Control code 6 of the built DLL against two real services under the
// service control manager: tolmarin_test_service.exe installed as "orvanta"
// and as "vemto", each in the mode a case gives (see test_service.cpp).
// Deleting "orvanta" takes its whole key, the Port Table's included: the
// key is copied aside first and put back at the end.
#include <gtest/gtest.h>

#include <string>

#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

extern "C" LONG WINAPI RegCopyTreeA(HKEY source, LPCSTR subKey, HKEY destination);

namespace {

const char ConfigKey[] = "SOFTWARE\\TolmarinServiceTest";
const char StackKey[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta";
const char BackupKey[] = "SOFTWARE\\TolmarinServiceTest\\Backup";

struct Handle {
    SC_HANDLE handle;
    ~Handle() { handle&& CloseServiceHandle(handle); }
};
Handle Manager() { return {OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)}; }
Handle Service(const char* name) { return {OpenServiceA(Manager().handle, name, SERVICE_ALL_ACCESS)}; }

// The service's state, 0 when it is not installed.
DWORD State(const char* name)
{
    SERVICE_STATUS status = {};
    Handle service = Service(name);
    return service.handle && QueryServiceStatus(service.handle, &status) ? status.dwCurrentState : 0;
}

// Waits up to three seconds for a state that is not pending.
DWORD Settled(const char* name)
{
    for (int i = 0; i < 30 && (State(name) == SERVICE_START_PENDING || State(name) == SERVICE_STOP_PENDING);
         ++i)
        Sleep(100);
    return State(name);
}

// Stopped, if need be by ending its process (a refused stop, start pending).
void Stop(const char* name)
{
    Handle service = Service(name);
    SERVICE_STATUS status;
    SERVICE_STATUS_PROCESS process = {};
    DWORD size;
    ControlService(service.handle, SERVICE_CONTROL_STOP, &status);
    if (Settled(name) != SERVICE_STOPPED && QueryServiceStatusEx(service.handle, SC_STATUS_PROCESS_INFO,
                                                                 (BYTE*)&process, sizeof(process), &size)) {
        HANDLE running = OpenProcess(PROCESS_TERMINATE, FALSE, process.dwProcessId);
        TerminateProcess(running, 1);
        CloseHandle(running);
        Settled(name);
    }
}

void Remove(const char* name)
{
    Stop(name);
    DeleteService(Service(name).handle);
}

// Installed, stopped, with mode for its next start; right after the
// prefix's start the service database may be locked (1055) for a while.
void Install(const char* name, const char* mode)
{
    Stop(name);
    char program[MAX_PATH];
    std::string path(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
    path = path.substr(0, path.rfind('\\') + 1) + "tolmarin_test_service.exe";
    for (int i = 0; i < 100 && !State(name); ++i) {
        Handle created{CreateServiceA(Manager().handle, name, name, SERVICE_ALL_ACCESS,
                                      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                      path.c_str(), 0, 0, 0, 0, 0)};
        if (!created.handle)
            Sleep(100);
    }
    SetString(HKEY_LOCAL_MACHINE, ConfigKey + std::string("\\") + name, "Mode", mode);
}

// Leaves the service as a case wants it: absent (null), stopped (""), or
// running in mode and starting in next afterwards.
void Prepare(const char* name, const char* mode, const char* next)
{
    if (!mode)
        return Remove(name);
    Install(name, mode);
    if (*mode)
        StartServiceA(Service(name).handle, 0, nullptr), Settled(name);
    SetString(HKEY_LOCAL_MACHINE, ConfigKey + std::string("\\") + name, "Mode", next);
}

struct Services : testing::Environment {
    void SetUp() override
    {
        DeleteTree(HKEY_LOCAL_MACHINE, ConfigKey);
        HKEY backup;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, BackupKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &backup, 0);
        backedUp = RegCopyTreeA(HKEY_LOCAL_MACHINE, StackKey, backup) == ERROR_SUCCESS;
        RegCloseKey(backup);
    }
    void TearDown() override
    {
        Remove("orvanta");
        Remove("vemto");
        HKEY stack;
        if (backedUp &&
            !RegCreateKeyExA(HKEY_LOCAL_MACHINE, StackKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &stack, 0)) {
            RegCopyTreeA(HKEY_LOCAL_MACHINE, BackupKey, stack);
            RegCloseKey(stack);
        }
        DeleteTree(HKEY_LOCAL_MACHINE, ConfigKey);
    }
    bool backedUp = false;
};
testing::Environment* const services = testing::AddGlobalTestEnvironment(new Services);

const char Question[] =
    "Orvanta Protocol Properties have changed. Do you want to restart the Orvanta now?\n\nIf you choose Yes, "
    "the Orvanta protocol will be restarted immediately.\nMake sure to close all running Orvanta "
    "applications.\n\nIf you choose No, changes will not take effect until the Orvanta or Windows are "
    "restarted.";
const char NotAccessed[] = "The Orvanta service cannot be accessed";
const char NotStopped[] = "Couldn't stop the Orvanta service";
const char NotStarted[] = "Couldn't start the Orvanta service";
const DWORD Running = SERVICE_RUNNING, Stopped = SERVICE_STOPPED, Pending = SERVICE_START_PENDING;

}  // namespace

// Each case: the services before (null absent, "" stopped, else the mode
// running, then the stack's mode at its next start), code 6's argument and
// the answer to the question (0: none asked), then the failure shown, the
// controls the services saw in order, their states after, and whether the
// call takes the 10-second wait.
TEST(RestartServices, SequenceMessagesAndStates)
{
    int any = 0;
    const struct {
        const char *stack, *stackNext, *driver;
        void* argument;
        int answer;
        const char *failure, *seen;
        DWORD stackAfter, driverAfter;
        bool slow;
    } cases[] = {
        {"run", "run", "run", nullptr, IDYES, nullptr, "orvanta:stop vemto:stop vemto:start orvanta:start ",
         Running, Running, false},
        {"run", "run", "run", nullptr, IDNO, nullptr, "", Running, Running, false},
        {"", "run", "run", &any, 0, nullptr, "vemto:stop vemto:start orvanta:start ", Running, Running,
         false},
        {"run", "run", "", &any, 0, nullptr, "orvanta:stop vemto:start orvanta:start ", Running, Running,
         false},
        {"run", "run", nullptr, &any, 0, nullptr, "orvanta:stop orvanta:start ", Running, 0, false},
        {nullptr, "", "run", &any, 0, NotAccessed, "", 0, Running, false},
        {"refuse", "run", "run", &any, 0, NotStopped, "vemto:stop vemto:start ", Running, Running, false},
        {"bounce", "run", "run", &any, 0, NotStopped, "orvanta:stop vemto:stop vemto:start ", Running,
         Running, false},
        {"run", "pending", "run", nullptr, IDYES, NotStarted,
         "orvanta:stop vemto:stop vemto:start orvanta:start ", Pending, Running, true},
    };
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "orvanta " << (c.stack ? c.stack : "absent") << " then "
                                        << c.stackNext << ", vemto " << (c.driver ? c.driver : "absent"));
        Prepare("vemto", c.driver, "run");
        Prepare("orvanta", c.stack, c.stackNext);
        SetString(HKEY_LOCAL_MACHINE, ConfigKey, "Seen", "");
        std::vector<MessageBoxRecord> expected;
        if (c.answer)
            expected.push_back({"Orvanta Message", Question, nullptr, MB_YESNO | MB_ICONQUESTION});
        if (c.failure)
            expected.push_back({"Orvanta Message", c.failure, nullptr, MB_OK | MB_ICONHAND});
        HCURSOR shown = nullptr;  // the cursor while the last message box is shown
        DialogDriver driver(15000);
        for (const auto& box : expected)
            driver.OnMessageBox(box.text == Question ? c.answer : IDOK, [&](HWND) { shown = GetCursor(); });
        SetCursor(arrow);
        DWORD start = GetTickCount();
        EXPECT_EQ(1, dll.Ioctl()(TOLMARIN_IOCTL_RESTART_SERVICES, c.argument));
        DWORD elapsed = GetTickCount() - start;
        ASSERT_EQ(expected.size(), driver.MessageBoxes().size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].caption, driver.MessageBoxes()[i].caption);
            EXPECT_EQ(expected[i].text, driver.MessageBoxes()[i].text);
            EXPECT_EQ(nullptr, driver.MessageBoxes()[i].owner);
            EXPECT_EQ(expected[i].style, driver.MessageBoxes()[i].style);
        }
        if (!expected.empty()) {
            EXPECT_EQ(c.failure ? wait : arrow, shown) << "the wait cursor while a failure is shown";
        }
        EXPECT_EQ(arrow, GetCursor());
        DWORD seenSize = 0;
        std::vector<BYTE> seen;
        GetRaw(HKEY_LOCAL_MACHINE, ConfigKey, "Seen", &seenSize, &seen);
        EXPECT_STREQ(c.seen, reinterpret_cast<const char*>(seen.data()));
        EXPECT_EQ(c.stackAfter, State("orvanta"));
        EXPECT_EQ(c.driverAfter, State("vemto"));
        EXPECT_EQ(c.slow, elapsed >= 10000) << elapsed << " ms";
        EXPECT_GT(c.slow ? 12000u : 5000u, elapsed);
    }
}
