// Which Windows the test program runs as: *_win98.exe, *_nt40.exe, *_win2k.exe and *_win31.exe (Win32s,
// refused by the module) run under Wine's version emulation.
#pragma once
#include <windows.h>

enum class TestPlatform { Win9x, Nt4, Nt5Plus, Unsupported };

// The platform the running system reports.
inline TestPlatform RunningPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? TestPlatform::Win9x
           : version.dwPlatformId != VER_PLATFORM_WIN32_NT    ? TestPlatform::Unsupported
           : version.dwMajorVersion > 4                       ? TestPlatform::Nt5Plus
                                                              : TestPlatform::Nt4;
}

// The platform the program's file name asks for; Nt5Plus when it names none.
inline TestPlatform ExpectedPlatform()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return strstr(path, "_win98.exe")   ? TestPlatform::Win9x
           : strstr(path, "_nt40.exe")  ? TestPlatform::Nt4
           : strstr(path, "_win31.exe") ? TestPlatform::Unsupported
                                        : TestPlatform::Nt5Plus;
}
