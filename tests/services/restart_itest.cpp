// Control code 6 of the built DLL against test_service.cpp installed as "orvanta" and "vemto".
#include <gtest/gtest.h>

#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

const char Config[] = "SOFTWARE\\TolmarinServiceTest";
HANDLE quit = CreateEventA(0, TRUE, FALSE, "TolmarinServiceTestQuit");  // ends every test service
SC_HANDLE manager = OpenSCManagerA(0, 0, SC_MANAGER_ALL_ACCESS);
struct Service {
    SC_HANDLE handle;
    ~Service() { CloseServiceHandle(handle); }
};
Service Open(const char* name) { return {OpenServiceA(manager, name, SERVICE_ALL_ACCESS)}; }

// The service's state once not start (2) or stop (3) pending, 3 s at most; 0 when not installed.
DWORD State(const char* name)
{
    SERVICE_STATUS status = {};
    for (int i = 0;
         i < 30 && QueryServiceStatus(Open(name).handle, &status) && (status.dwCurrentState | 1) == 3; ++i)
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

// Ends and removes both services, which takes the stack's key and the Port Table below it.
struct Services : testing::Environment {
    void TearDown() override
    {
        StopAll(), Prepare("orvanta", nullptr, ""), Prepare("vemto", nullptr, "");
        DeleteTree(HKEY_LOCAL_MACHINE, Config);
    }
};
testing::Environment* const services = testing::AddGlobalTestEnvironment(new Services);

}  // namespace

// Each case: orvanta before (null absent, "" stopped, else its mode), its mode at its next start, the answer
// to the question (0: code 6 gets an argument, no question); then the unowned "Orvanta Message" boxes
// (first line, style) and the controls the services saw.
TEST(RestartServices, SequenceMessagesAndStates)
{
    const std::string Question =
        "Orvanta Protocol Properties have changed. Do you want to restart the Orvanta now?|36|";
    const std::tuple<const char*, const char*, int, const char*, const char*> cases[] = {
        {"run", "run", IDYES, "", "orvanta:stop vemto:stop vemto:start orvanta:start "},
        {"run", "run", IDNO, "", ""},
        {"", "run", 0, "", "vemto:stop vemto:start orvanta:start "},
        {nullptr, "", 0, "The Orvanta service cannot be accessed|16|", ""},
        {"bounce", "run", 0, "Couldn't stop the Orvanta service|16|", "orvanta:stop vemto:stop vemto:start "},
        {"run", "pending", 0, "Couldn't start the Orvanta service|16|",
         "orvanta:stop vemto:stop vemto:start orvanta:start "},
    };
    LoadedDll dll;
    for (auto [stack, stackNext, answer, failure, seenExpected] : cases) {
        StopAll();
        Prepare("vemto", "run", "run");
        Prepare("orvanta", stack, stackNext);
        SetString(HKEY_LOCAL_MACHINE, Config, "Seen", "");
        DialogDriver driver(15000);
        answer ? void(driver.OnMessageBox(answer)) : void();
        *failure ? void(driver.OnMessageBox(IDOK)) : void();
        EXPECT_EQ(1, dll.Ioctl()(TOLMARIN_IOCTL_RESTART_SERVICES, answer ? nullptr : &answer));
        std::string shown;
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            shown += (box.caption == "Orvanta Message" && !box.owner ? "" : "?") +
                     box.text.substr(0, box.text.find('\n')) + "|" + std::to_string(box.style) + "|";
        std::vector<BYTE> seen;
        GetRaw(HKEY_LOCAL_MACHINE, Config, "Seen", nullptr, &seen);
        EXPECT_EQ((answer ? Question : "") + failure + " " + seenExpected,
                  shown + " " + reinterpret_cast<const char*>(seen.data()))
            << "stack " << (stack ? stack : "absent") << ", next " << stackNext;
    }
}
