#include "ports/port_dialog.h"

#include <stdio.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/port.h"
#include "registry/scan_number.h"

const char MessageTitle[] = "Orvanta Message";

namespace {

const int MessageCapacity = 200;

Port* EditedPort(HWND dialog) { return reinterpret_cast<Port*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

}  // namespace

INT_PTR CALLBACK PortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        Port* port = reinterpret_cast<Port*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (!port)
            return FALSE;
        port->InitDialog(dialog);
        return TRUE;  // let the dialog manager set the default focus
    }
    case WM_COMMAND:
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
    Port* candidate = port->CreateFromDialog(dialog);
    if (!candidate)
        return false;
    int controlId = 0, messageId = 0;
    bool valid = candidate->Validate(controlId, messageId);
    if (valid)
        port->CopyFrom(*candidate);
    delete candidate;
    if (valid)
        return true;

    DialogItem field(dialog, controlId);
    field.Focus();
    field.SelectAllText();
    ShowMessage(dialog, UINT(messageId), MB_ICONHAND);
    return false;
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
    char text[128];
    DialogItem(dialog, controlId).GetText(text, sizeof(text));
    int32_t value;
    return ScanInt(text, value) ? value : 0;
}

void SetDlgItemHex(HWND dialog, int controlId, unsigned number)
{
    char text[16];
    snprintf(text, sizeof(text), "%#x", number);
    DialogItem(dialog, controlId).SetText(text);
}
