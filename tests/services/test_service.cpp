// A stand-in for the services "orvanta" and "vemto". The key
// HKLM\SOFTWARE\TolmarinServiceTest holds, under the service's name, the
// mode it takes at each start: "run" (or nothing) stops promptly, "refuse"
// accepts no stop, "bounce" goes from stop pending back to running once,
// "pending" stays in start pending. Each start and stop control is appended
// to the value "Seen" there. The tests' event TolmarinServiceTestQuit ends
// every mode.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

char name[64], mode[16] = "run";
SERVICE_STATUS_HANDLE handle;
HANDLE events[2];  // the stop control, the tests' quit

// Reads into text (size > 0) or writes text (size 0) as value.
void Text(const char* value, char* text, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TolmarinServiceTest", 0, 0, 0, KEY_ALL_ACCESS, 0, &key,
                        0))
        return;
    if (size-- > 0)
        RegQueryValueExA(key, value, 0, 0, reinterpret_cast<BYTE*>(text), &size);
    else
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<BYTE*>(text), DWORD(strlen(text) + 1));
    RegCloseKey(key);
}

void Record(const char* event)
{
    char seen[1024] = "", more[1024];
    Text("Seen", seen, sizeof(seen));
    snprintf(more, sizeof(more), "%s%s:%s ", seen, name, event);
    Text("Seen", more, 0);
}

void Report(DWORD state, DWORD accepted = SERVICE_ACCEPT_STOP)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state, accepted, 0, 0, 1, 30000};
    SetServiceStatus(handle, &status);
}

// True on a stop control, false when the tests end the service.
bool Wait() { return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0; }

// Stop pending is reported before the control returns, so the controller's
// status record shows it.
DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control != SERVICE_CONTROL_STOP)
        return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
    Record("stop");
    Report(SERVICE_STOP_PENDING);
    SetEvent(events[0]);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char** argv)
{
    strncpy(name, argv[0], sizeof(name) - 1);
    Text(name, mode, sizeof(mode));
    events[0] = CreateEventA(0, FALSE, FALSE, 0);
    events[1] = CreateEventA(0, TRUE, FALSE, "TolmarinServiceTestQuit");
    handle = RegisterServiceCtrlHandlerExA(name, Handler, 0);
    Record("start");
    Report(strcmp(mode, "pending") ? SERVICE_RUNNING : SERVICE_START_PENDING,
           strcmp(mode, "refuse") ? SERVICE_ACCEPT_STOP : 0);
    if (Wait() && !strcmp(mode, "bounce")) {
        Sleep(300);
        Report(SERVICE_RUNNING);
        Wait();
    }
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main()
{
    char stack[] = "orvanta", driver[] = "vemto";
    SERVICE_TABLE_ENTRYA services[] = {{stack, ServiceMain}, {driver, ServiceMain}, {nullptr, nullptr}};
    return !StartServiceCtrlDispatcherA(services);
}
