// Module-wide state and the attach and detach steps of the module entry.
#pragma once
#include <windows.h>

// The module's own handle, for its resources. Null in a program that links
// the library's code directly: the resource calls then use the program's
// own resources.
extern HINSTANCE ModuleInstance;
// 1 on Windows 95/98, 0 on Windows NT.
extern DWORD IsWin9x;
// 1 on Windows NT with a major version above 4.
extern BYTE IsNtAbove4;
// Set by the dialog entry points when the module shows the Port Table dialog
// by itself; never cleared.
extern BYTE IsStandalone;

// Sets the platform flags from the running system's version. False (after
// the diagnostic line) on a platform the module does not support.
bool DetectPlatform();

// Process attach: records the instance, detects the platform, starts
// Winsock 2.0 and the common controls and loads the Port Table. False
// refuses the attach; whatever had been started is stopped again.
bool ModuleAttach(HINSTANCE instance);

// Process detach: frees the Port Table and stops Winsock, when the attach
// had completed.
void ModuleDetach();
