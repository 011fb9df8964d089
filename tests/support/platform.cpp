#include "support/platform.h"

#include <string.h>

TestPlatform RunningPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return TestPlatform::Win9x;
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return TestPlatform::Unsupported;
    return version.dwMajorVersion > 4 ? TestPlatform::Nt5Plus : TestPlatform::Nt4;
}

TestPlatform ExpectedPlatform()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    if (strstr(path, "_win98.exe"))
        return TestPlatform::Win9x;
    if (strstr(path, "_nt40.exe"))
        return TestPlatform::Nt4;
    if (strstr(path, "_win31.exe"))
        return TestPlatform::Unsupported;
    return TestPlatform::Nt5Plus;
}
