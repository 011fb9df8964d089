// The control function through which a host program embeds and drives the
// Port Table dialog.
#include <windows.h>

#include "lifecycle/module.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "resource.h"
#include "tolmarin.h"

namespace {

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

}  // namespace

extern "C" BOOL WINAPI OrvantaPropertiesIoctl(DWORD code, void* argument)
{
    switch (code) {
    case TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE:
        return argument ? StoreDialogTemplate(argument) : 0;
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
        NotifyChanged(0);
        return 1;
    default:
        return 0;
    }
}
