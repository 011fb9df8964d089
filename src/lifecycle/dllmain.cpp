// The DLL's entry point: hands process attach and detach to the module's
// lifecycle; thread events need nothing.
#include <windows.h>

#include "lifecycle/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return ModuleAttach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        ModuleDetach();
        return TRUE;
    default:
        return TRUE;
    }
}
