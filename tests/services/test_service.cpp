// A stand-in for the services "orvanta" and "vemto". HKLM\SOFTWARE\TolmarinServiceTest holds, under the
// service's name, the mode it takes at each start: "run" (or nothing) stops promptly, "bounce" goes from
// stop pending back to running once, "pending" stays in start pending. Each start and stop control is
// appended to the value "Seen" there. The tests' event TolmarinServiceTestQuit ends every mode.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // RegGetValueA and RegSetKeyValueA
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

char name[64], mode[16] = "run";
SERVICE_STATUS_HANDLE handle;
HANDLE events[2];  // the stop control, the tests' quit
const char Key[] = "SOFTWARE\\TolmarinServiceTest";

void Record(const char* event)
{
    char seen[1024] = "", more[1024];
    DWORD size = sizeof(seen);
    RegGetValueA(HKEY_LOCAL_MACHINE, Key, "Seen", RRF_RT_REG_SZ, 0, seen, &size);
    snprintf(more, sizeof(more), "%s%s:%s ", seen, name, event);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, Key, "Seen", REG_SZ, more, DWORD(strlen(more) + 1));
}

void Report(DWORD state)
{
    DWORD accepted = state == SERVICE_STOPPED ? 0 : SERVICE_ACCEPT_STOP;
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state, accepted, 0, 0, 1, 30000};
    SetServiceStatus(handle, &status);
}

// True on a stop control, false when the tests end the service.
bool Wait() { return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0; }

// Stop pending is reported before the control returns, so the controller's status record shows it.
DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control == SERVICE_CONTROL_STOP)
        Record("stop"), Report(SERVICE_STOP_PENDING), SetEvent(events[0]);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char** argv)
{
    strncpy(name, argv[0], sizeof(name) - 1);
    DWORD size = sizeof(mode);
    RegGetValueA(HKEY_LOCAL_MACHINE, Key, name, RRF_RT_REG_SZ, 0, mode, &size);
    events[0] = CreateEventA(0, FALSE, FALSE, 0);
    events[1] = CreateEventA(0, TRUE, FALSE, "TolmarinServiceTestQuit");
    handle = RegisterServiceCtrlHandlerExA(name, Handler, 0);
    Record("start");
    Report(strcmp(mode, "pending") ? SERVICE_RUNNING : SERVICE_START_PENDING);
    if (Wait() && !strcmp(mode, "bounce"))
        Sleep(300), Report(SERVICE_RUNNING), Wait();
    Report(SERVICE_STOPPED);
}

}  // namespace

int main()
{
    char stack[] = "orvanta", driver[] = "vemto";
    SERVICE_TABLE_ENTRYA services[] = {{stack, ServiceMain}, {driver, ServiceMain}, {nullptr, nullptr}};
    return !StartServiceCtrlDispatcherA(services);
}
