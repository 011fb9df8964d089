// What every port property dialog shares: the generic dialog procedure with
// its OK handler, the control table of kinds with controls of their own, the
// page procedure of property-sheet pages, message boxes from the string
// table, list-view selection and numeric controls.
//
// A dialog procedure's answer is "did I handle it", not "did it succeed";
// where the two part, the procedures below say so.
#pragma once
#include <windows.h>

#include <stddef.h>

class Port;

// Title of every message box of the module.
extern const char MessageTitle[];  // "Orvanta Message"

// The dialog procedure of the single-dialog port kinds. The port being
// edited travels in WM_INITDIALOG's lParam and stays in the dialog's user
// data; the dialog never owns it.
INT_PTR CALLBACK PortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The port a dialog or page edits, or null.
Port* EditedPort(HWND dialog);

// Builds a candidate from the controls, validates it and copies it into the
// edited port. On a failing field: focus and select it, show the kind's
// message, and answer false so that the dialog stays open.
bool HandlePortDialogOk(HWND dialog);

// One command that a kind's dialog handles itself: from control, with the
// notification code (BN_CLICKED, CBN_EDITCHANGE, ...), it runs action.
struct ControlAction {
    int control;
    WORD notification;
    void (*action)(HWND dialog, int control);
};

// The dialog procedure of a kind with controls of its own, given its table
// and the procedure that takes the rest (PortDialogProc, or PortPageProc on
// a property-sheet page). A WM_COMMAND from a listed control with a listed
// notification runs the action and answers TRUE; from a listed control with
// any other notification it answers FALSE and goes no further. Everything
// else, OK and Cancel included, goes to next (FALSE when next is null).
INT_PTR DispatchControls(const ControlAction* table, size_t count, DLGPROC next, HWND dialog, UINT message,
                         WPARAM wParam, LPARAM lParam);

template <size_t N>
INT_PTR DispatchControls(const ControlAction (&table)[N], HWND dialog, UINT message, WPARAM wParam,
                         LPARAM lParam, DLGPROC next = PortDialogProc)
{
    return DispatchControls(table, N, next, dialog, message, wParam, lParam);
}

// The page procedure of the kinds edited in a property sheet, or the rest of
// a kind's own page procedure. The port edited (the sheet's working copy)
// is the page's PROPSHEETPAGE lParam and stays in the page's user data.
//   WM_INITDIALOG: store the port; TRUE.
//   PSN_SETACTIVE: the port's InitDialog on the page; the page may show.
//   PSN_KILLACTIVE: the OK handler on the page; the page may be left only
//     when it succeeded.
//   Anything else: FALSE.
INT_PTR CALLBACK PortPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

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
