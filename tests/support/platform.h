// Which Windows the test program runs as. Programs named *_win98.exe,
// *_nt40.exe and *_win2k.exe run under Wine's version emulation.
#pragma once
#include <windows.h>

enum class TestPlatform { Win9x, Nt4, Nt5Plus };

// The platform the running system reports.
TestPlatform RunningPlatform();
// The platform the program's file name asks for; Nt5Plus when it names none.
TestPlatform ExpectedPlatform();
