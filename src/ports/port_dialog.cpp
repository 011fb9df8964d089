#include "ports/port_dialog.h"

#include <commctrl.h>
#include <stdio.h>

#include <memory>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/port.h"

const char MessageTitle[] = "Orvanta Message";

namespace {

const int MessageCapacity = 200;

// Gives a notification's answer to the property sheet: a dialog procedure
// returns only whether it handled the message, the answer goes through
// DWLP_MSGRESULT.
INT_PTR AnswerNotification(HWND page, LONG_PTR answer)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, answer);
    return TRUE;
}

}  // namespace

Port* EditedPort(HWND dialog) { return reinterpret_cast<Port*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

INT_PTR CALLBACK PortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        Port* port = reinterpret_cast<Port*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (!port)
            return FALSE;
        port->InitDialog(dialog);
        // TRUE does not mean "handled": it asks the dialog manager to give
        // the focus to the first control that takes it.
        return TRUE;
    }
    case WM_COMMAND:
        // The commands answer the opposite of what they did: OK and Cancel,
        // which act, answer FALSE; any other control, left alone, answers TRUE.
        switch (LOWORD(wParam)) {
        case IDOK:
            if (HandlePortDialogOk(dialog))
                EndDialog(dialog, IDOK);
            return FALSE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return FALSE;
        default:
            return TRUE;
        }
    default:
        return FALSE;
    }
}

bool HandlePortDialogOk(HWND dialog)
{
    Port* port = EditedPort(dialog);
    if (!port)
        return false;
    std::unique_ptr<Port> candidate(port->CreateFromDialog(dialog));
    if (!candidate)
        return false;
    int controlId = 0, messageId = 0;
    if (candidate->Validate(controlId, messageId)) {
        port->CopyFrom(*candidate);
        return true;
    }
    candidate.reset();  // gone before the message box, as on success

    DialogItem field(dialog, controlId);
    field.Focus();
    field.SelectAllText();
    ShowMessage(dialog, UINT(messageId), MB_ICONHAND);
    return false;
}

INT_PTR DispatchControls(const ControlAction* table, size_t count, DLGPROC next, HWND dialog, UINT message,
                         WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        int control = LOWORD(wParam);
        WORD notification = HIWORD(wParam);
        bool listed = false;
        for (size_t i = 0; i < count; ++i) {
            if (table[i].control != control)
                continue;
            if (table[i].notification == notification) {
                table[i].action(dialog, control);
                return TRUE;
            }
            listed = true;
        }
        // A listed control with another notification is not handled, and
        // not passed on either: PortDialogProc would answer TRUE for it.
        if (listed)
            return FALSE;
    }
    return next ? next(dialog, message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK PortPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const PROPSHEETPAGEA* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrA(page, DWLP_USER, sheetPage ? sheetPage->lParam : 0);
        return TRUE;  // let the dialog manager set the focus
    }
    case WM_NOTIFY: {
        Port* port = EditedPort(page);
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!port || !header)
            return FALSE;
        switch (header->code) {
        case PSN_SETACTIVE:
            port->InitDialog(page);
            return AnswerNotification(page, 0);  // 0: the page may become active
        case PSN_KILLACTIVE:
            // TRUE keeps the page shown: the answer is "the page failed".
            return AnswerNotification(page, HandlePortDialogOk(page) ? FALSE : TRUE);
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

int ShowMessage(HWND owner, UINT stringId, UINT style)
{
    char text[MessageCapacity];
    if (LoadStringA(ModuleInstance, stringId, text, MessageCapacity) <= 0)
        text[0] = '\0';
    return MessageBoxA(owner, text, MessageTitle, style);
}

void SelectListItem(HWND listView, int index)
{
    ListView list(listView);
    int count = list.Count();
    for (int row = 0; row < count; ++row)
        list.SetSelected(row, row == index);
}

int GetSelectedListItem(HWND listView)
{
    ListView list(listView);
    int count = list.Count();
    for (int row = 0; row < count; ++row)
        if (list.IsSelected(row))
            return row;
    return -1;
}

int GetDlgItemNumber(HWND dialog, int controlId)
{
    int32_t value;
    return DialogItem(dialog, controlId).ScanNumber(127, value) ? value : 0;
}

void SetDlgItemHex(HWND dialog, int controlId, unsigned number)
{
    char text[16];
    snprintf(text, sizeof(text), "%#x", number);
    DialogItem(dialog, controlId).SetText(text);
}
