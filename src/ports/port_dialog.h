// What every port property dialog shares: the generic dialog procedure with
// its OK handler, message boxes from the string table, list-view selection
// and numeric controls.
#pragma once
#include <windows.h>

// Title of every message box of the module.
extern const char MessageTitle[];  // "Orvanta Message"

// The dialog procedure of the single-dialog port kinds. The port being
// edited travels in WM_INITDIALOG's lParam and stays in the dialog's user
// data; the dialog never owns it.
INT_PTR CALLBACK PortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Builds a candidate from the controls, validates it and copies it into the
// edited port. On a failing field: focus and select it, show the kind's
// message, and answer false so that the dialog stays open.
bool HandlePortDialogOk(HWND dialog);

// Loads string id (up to 200 characters) and shows it, titled MessageTitle.
int ShowMessage(HWND owner, UINT stringId, UINT style);

// Selects row index of a list view alone; an index outside the rows
// deselects every row.
void SelectListItem(HWND listView, int index);
// First selected row of a list view, or -1.
int GetSelectedListItem(HWND listView);

// The control's text (up to 127 characters) read as "%i"; 0 for no number.
int GetDlgItemNumber(HWND dialog, int controlId);
// Shows number as "%#x": 0x and lower-case digits, 0 for zero.
void SetDlgItemHex(HWND dialog, int controlId, unsigned number);
