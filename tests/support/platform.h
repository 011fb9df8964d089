// Which Windows the test program runs as. Programs named *_win98.exe,
// *_nt40.exe, *_win2k.exe and *_win31.exe run under Wine's version
// emulation; Windows 3.1 (Win32s) is a platform the module refuses.
#pragma once
#include <windows.h>

enum class TestPlatform { Win9x, Nt4, Nt5Plus, Unsupported };

// The platform the running system reports.
TestPlatform RunningPlatform();
// The platform the program's file name asks for; Nt5Plus when it names none.
TestPlatform ExpectedPlatform();
