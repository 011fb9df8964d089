// A stand-in for the stack's services "orvanta" and "vemto": a real Windows
// service that records the controls it sees and behaves as the value "Mode"
// of HKLM\SOFTWARE\TolmarinServiceTest\<service> says when it starts:
//   "run"     running at once, stops promptly (also when the value is missing);
//   "refuse"  running, but accepts no stop control;
//   "bounce"  on the first stop reports stop pending, then running again;
//   "pending" stays in start pending (until a stop or 30 seconds).
// Each start and each stop control appends "<service>:start " or
// "<service>:stop " to the value "Seen" of HKLM\SOFTWARE\TolmarinServiceTest.
#include <windows.h>

#include <string.h>

namespace {

const char ConfigKey[] = "SOFTWARE\\TolmarinServiceTest";
char name[64], mode[16] = "run";
SERVICE_STATUS_HANDLE handle;
HANDLE stopEvent;

// Reads (size > 0) or writes (size 0) the text value at path.
void Value(const char* path, const char* value, char* text, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return;
    if (size-- > 0)
        RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    else
        RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<BYTE*>(text), DWORD(strlen(text) + 1));
    RegCloseKey(key);
}

void Record(const char* event)
{
    char seen[1024] = "";
    Value(ConfigKey, "Seen", seen, sizeof(seen));
    strncat(seen, name, sizeof(seen) - strlen(seen) - 1);
    strncat(seen, event, sizeof(seen) - strlen(seen) - 1);
    Value(ConfigKey, "Seen", seen, 0);
}

void Report(DWORD state, DWORD accepted = SERVICE_ACCEPT_STOP)
{
    SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, state, accepted, 0, 0, 1, 30000};
    SetServiceStatus(handle, &status);
}

// The stop pending state is reported before the control returns, so the
// controller's status record shows it.
DWORD WINAPI Handler(DWORD control, DWORD, void*, void*)
{
    if (control != SERVICE_CONTROL_STOP)
        return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
    Record(":stop ");
    Report(SERVICE_STOP_PENDING);
    SetEvent(stopEvent);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char** argv)
{
    strncpy(name, argv[0], sizeof(name) - 1);
    char path[128] = "SOFTWARE\\TolmarinServiceTest\\";
    strncat(path, name, sizeof(path) - strlen(path) - 1);
    Value(path, "Mode", mode, sizeof(mode));
    stopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    handle = RegisterServiceCtrlHandlerExA(name, Handler, nullptr);
    Record(":start ");
    if (!strcmp(mode, "pending")) {
        Report(SERVICE_START_PENDING);
        WaitForSingleObject(stopEvent, 30000);
    } else {
        Report(SERVICE_RUNNING, strcmp(mode, "refuse") ? SERVICE_ACCEPT_STOP : 0);
        WaitForSingleObject(stopEvent, INFINITE);
        if (!strcmp(mode, "bounce")) {
            Sleep(300);
            Report(SERVICE_RUNNING);
            WaitForSingleObject(stopEvent, INFINITE);
        }
    }
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main()
{
    char stack[] = "orvanta", driver[] = "vemto";
    SERVICE_TABLE_ENTRYA services[] = {{stack, ServiceMain}, {driver, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(services) ? 0 : 1;
}
