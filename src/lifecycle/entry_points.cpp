// The exported configuration calls: the Port Table dialog shown by itself
// (directly or through rundll32), and the control function through which a
// host program embeds and drives it.
#include <windows.h>

#include <limits.h>
#include <stdio.h>

#include "lifecycle/module.h"
#include "lifecycle/service_restart.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "resource.h"
#include "stack/stack_names.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

namespace {

// The text DisplayPropertiesDlg hands back; overwritten by each call.
char resultText[16];

BOOL StoreDialogTemplate(void* argument)
{
    HRSRC found = FindResourceExA(ModuleInstance, RT_DIALOG, MAKEINTRESOURCEA(IDD_PORT_TABLE), 0);
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(ModuleInstance, found);
    if (!loaded)
        return 0;
    void* data = LockResource(loaded);
    if (!data)
        return 0;
    *static_cast<void**>(argument) = data;
    return 1;
}

// The command line as atoi reads it (leading white space, an optional sign,
// then decimal digits), held at INT_MIN or INT_MAX instead of overflowing.
int ParseOwnerNumber(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > LLONG_MAX / 100)
            break;
    }
    if (negative)
        value = -value;
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : int(value);
}

// The owner window the command line names. A number that names no window
// gives no owner: a dialog with an invalid owner would not appear at all.
HWND OwnerFromCommandLine(const char* commandLine)
{
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(ParseOwnerNumber(commandLine)));
    if (owner && !IsWindow(owner)) {
        OutputDebugStringA("TOLMARIN: the command line names no window; the dialog has no owner.\n");
        return nullptr;
    }
    return owner;
}

}  // namespace

extern "C" BOOL WINAPI DisplayPropertiesDlg(void*, void*, const char** result)
{
    IsStandalone = 1;
    INT_PTR ended = RunPortTableDialog(GetActiveWindow());
    snprintf(resultText, sizeof(resultText), "%d", ended == IDOK ? 1 : 0);
    if (result)
        *result = resultText;
    return ended != -1;
}

extern "C" void WINAPI OrvantaPropertiesThroughRunDll32(HWND, HINSTANCE, LPSTR commandLine, int)
{
    HWND owner = OwnerFromCommandLine(commandLine);
    IsStandalone = 1;
    INT_PTR ended = RunPortTableDialog(owner);
    UINT closed = RegisterWindowMessageA(DIALOG_CLOSED_MESSAGE);
    if (!closed)
        return;
    PostMessageA(HWND_BROADCAST, closed, ended == IDOK ? 0 : 1, 0);
}

extern "C" BOOL WINAPI OrvantaPropertiesIoctl(DWORD code, void* argument)
{
    switch (code) {
    case TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE:
        return argument ? StoreDialogTemplate(argument) : 0;
    case TOLMARIN_IOCTL_GET_DIALOG_PROC:
        if (!argument)
            return 0;
        *static_cast<DLGPROC*>(argument) = PortTableDialogProc;
        return 1;
    case TOLMARIN_IOCTL_SET_CHANGE_CALLBACK:
        if (!argument)
            return 0;
        ChangeCallback = *static_cast<PortTableChangeCallback*>(argument);
        return 1;
    case TOLMARIN_IOCTL_VALIDATE:
        // Messages owned by the embedded dialog, or unowned when none is open.
        return ValidatePortTable(PortTableDialog);
    case TOLMARIN_IOCTL_SAVE:
        SavePortTable();
        NotifyChanged(0);
        return 1;
    case TOLMARIN_IOCTL_RELOAD:
        FreePortTable();
        LoadPortTable();
        ShowReloadedPortTable();
        NotifyChanged(0);
        return 1;
    case TOLMARIN_IOCTL_RESTART_SERVICES:
        // Any argument at all, whatever it points to, skips the question.
        RestartProtocolServices(argument == nullptr);
        return 1;
    default:
        return 0;
    }
}
