#include "lifecycle/module.h"

#include <winsock2.h>
#include <commctrl.h>

#include "ports/port_table.h"

HINSTANCE ModuleInstance = nullptr;
DWORD IsWin9x = 0;
BYTE IsNtAbove4 = 0;
BYTE IsStandalone = 0;

namespace {
// True between a completed attach and the detach. The runtime calls the
// entry point with the detach event even after a refused attach, which must
// then release nothing.
bool attached = false;
}  // namespace

bool DetectPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) {
        OutputDebugStringA("TOLMARIN: Unsupported Windows platform. Cannot run.\n");
        return false;
    }
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        OutputDebugStringA("TOLMARIN: Hosting Windows platform is 95/98.\n");
        IsWin9x = 1;
        return true;
    case VER_PLATFORM_WIN32_NT:
        IsWin9x = 0;
        if (version.dwMajorVersion > 4)
            IsNtAbove4 = 1;
        OutputDebugStringA("TOLMARIN: Hosting Windows platform is NT.\n");
        return true;
    default:
        OutputDebugStringA("TOLMARIN: Unsupported Windows platform. Cannot run.\n");
        return false;
    }
}

bool ModuleAttach(HINSTANCE instance)
{
    ModuleInstance = instance;
    if (!DetectPlatform())
        return false;

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return false;

    InitCommonControls();

    if (!LoadPortTable()) {
        WSACleanup();
        return false;
    }
    attached = true;
    return true;
}

void ModuleDetach()
{
    if (!attached)
        return;
    attached = false;
    OutputDebugStringA("TOLMARIN: cleaning up...\n");
    FreePortTable();
    WSACleanup();
}
