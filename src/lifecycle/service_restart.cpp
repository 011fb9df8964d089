#include "lifecycle/service_restart.h"

#include <memory>
#include <type_traits>

#include "lifecycle/module.h"
#include "ports/port_dialog.h"
#include "resource.h"
#include "stack/stack_names.h"

namespace {

const DWORD PollInterval = 100;  // ms between two status queries
const DWORD WaitLimit = 10000;   // ms after which a wait gives up
const int ServiceMessageCapacity = 4096;

// A service control manager or service handle, closed with its scope.
struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer<SC_HANDLE>::type, ServiceHandleCloser>;

ServiceHandle OpenManager() { return ServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)); }

ServiceHandle OpenNamed(SC_HANDLE manager, const char* name)
{
    return ServiceHandle(OpenServiceA(manager, name, SERVICE_ALL_ACCESS));
}

// Sends the stop control. The record is cleared first, as a failed control
// need not fill it. False with the control's error in *error.
bool SendStop(SC_HANDLE service, SERVICE_STATUS* status, DWORD* error)
{
    *status = SERVICE_STATUS();
    if (ControlService(service, SERVICE_CONTROL_STOP, status))
        return true;
    *error = GetLastError();
    return false;
}

// The service messages are unowned and longer than the port messages.
int ShowServiceMessage(UINT stringId, UINT style)
{
    char text[ServiceMessageCapacity];
    if (LoadStringA(ModuleInstance, stringId, text, ServiceMessageCapacity) <= 0)
        text[0] = '\0';
    return MessageBoxA(nullptr, text, MessageTitle, style);
}

// Stops the stack's service and restarts the driver in any case; true when
// the stack's service has reached the stopped state.
bool StopStackService(SC_HANDLE stack)
{
    SERVICE_STATUS status;
    DWORD error = 0;
    bool stopped = (SendStop(stack, &status, &error) || error == ERROR_SERVICE_NOT_ACTIVE) &&
                   WaitForServiceState(stack, SERVICE_STOPPED, &status);
    RestartDriverService();
    return stopped;
}

bool StartAndWait(SC_HANDLE service)
{
    return StartServiceA(service, 0, nullptr) && WaitForServiceState(service, SERVICE_RUNNING, nullptr);
}

}  // namespace

void RestartProtocolServices(bool ask)
{
    if (ask && ShowServiceMessage(IDS_RESTART_QUESTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RestartStackService();
    SetCursor(previous);
}

bool RestartStackService()
{
    ServiceHandle manager = OpenManager();
    if (!manager)
        return false;
    UINT pending = IDS_STACK_NOT_ACCESSIBLE;
    ServiceHandle stack = OpenNamed(manager.get(), STACK_SERVICE_NAME);
    if (stack) {
        pending = IDS_STACK_NOT_STOPPED;
        if (StopStackService(stack.get())) {
            pending = IDS_STACK_NOT_STARTED;
            if (StartAndWait(stack.get()))
                pending = 0;
        }
    }
    stack.reset();
    manager.reset();
    if (pending)
        ShowServiceMessage(pending, MB_ICONHAND | MB_OK);
    return true;
}

bool RestartDriverService()
{
    ServiceHandle manager = OpenManager();
    if (!manager)
        return false;
    ServiceHandle driver = OpenNamed(manager.get(), DRIVER_SERVICE_NAME);
    if (!driver)
        return true;
    SERVICE_STATUS status;
    DWORD error = 0;
    SendStop(driver.get(), &status, &error);
    if (WaitForServiceState(driver.get(), SERVICE_STOPPED, &status) &&
        StartServiceA(driver.get(), 0, nullptr))
        WaitForServiceState(driver.get(), SERVICE_RUNNING, nullptr);
    return true;
}

bool WaitForServiceState(SC_HANDLE service, DWORD wanted, SERVICE_STATUS* status)
{
    DWORD start = GetTickCount();
    SERVICE_STATUS own;
    if (!status) {
        status = &own;
        if (!QueryServiceStatus(service, status))
            return false;
    }
    DWORD initial = status->dwCurrentState;
    if (!QueryServiceStatus(service, status))
        return false;
    while (status->dwCurrentState != wanted) {
        if (status->dwCurrentState != initial)
            return false;
        Sleep(PollInterval);
        // Unsigned difference: right across the tick count's wrap.
        if (GetTickCount() - start > WaitLimit)
            return false;
        if (!QueryServiceStatus(service, status))
            return false;
    }
    return true;
}
