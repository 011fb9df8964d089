// A host's change callback for tests: records every call it receives.
#pragma once
#include <windows.h>

struct RecordedChanges {
    int calls = 0;
    HWND window = reinterpret_cast<HWND>(1);  // not null until a call comes
    int changed = -1;
};

inline RecordedChanges Changes;

inline void WINAPI RecordChange(HWND window, BYTE changed)
{
    ++Changes.calls;
    Changes.window = window;
    Changes.changed = changed;
}
