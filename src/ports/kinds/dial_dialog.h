// The Dial and Modem dialog (template 507): edits the dial parameter text of
// a point-to-point port on a modem, in a 256-byte buffer of its caller.
#pragma once
#include <windows.h>

// The dialog procedure. Its creation parameter is the address of the
// caller's 256-byte buffer holding the dial parameter text, rewritten only
// when the dialog ends with 1 (OK); Cancel ends it with 2.
INT_PTR CALLBACK DialDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the dialog may close with its values: an empty phone list
// (message 171) or a retries field without a number or below 0 (message
// 172) is a warning that the user accepts with OK; only the first is asked.
bool CheckDialDialog(HWND dialog);
