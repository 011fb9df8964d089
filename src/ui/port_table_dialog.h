// The Port Table dialog (template IDD_PORT_TABLE): one row per entry of the
// in-memory Port Table, with Edit, Add (by kind), Remove, Up and Down acting
// on the table at once. Standalone it shows OK, which validates and saves,
// and Cancel; embedded in a host's window it hides both, and the host
// validates, saves and reloads through the control codes.
#pragma once
#include <windows.h>

INT_PTR CALLBACK PortTableDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the table again in the open dialog, if any, after it was read anew
// from the registry: the rows of the discarded table would name entries that
// are gone.
void ShowReloadedPortTable();

// Runs the dialog modally with owner; its result (1 after OK, 2 after
// Cancel, -1 when it could not be created).
INT_PTR RunPortTableDialog(HWND owner);
