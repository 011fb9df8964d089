#include "ports/kinds/dial_dialog.h"

#include <string.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/ptp_texts.h"
#include "ports/port_dialog.h"
#include "resource.h"

namespace {

const int TextFields[] = {IDC_PHONES, IDC_INITSTR, IDC_DIALSTR};

char* CallerBuffer(HWND dialog) { return reinterpret_cast<char*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void ShowDialText(HWND dialog, const char* text)
{
    DialTexts dial(text);
    DialogItem(dialog, IDC_PHONES).SetText(dial.phones);
    SetDlgItemInt(dialog, IDC_RETRIES, UINT(dial.retries), TRUE);
    DialogItem(dialog, IDC_INTERVAL).SetUnsigned(dial.interval);
    DialogItem(dialog, IDC_RINGS).SetUnsigned(dial.rings);
    DialogItem(dialog, IDC_INITSTR).SetText(dial.initstr);
    DialogItem(dialog, IDC_DIALSTR).SetText(dial.dialstr);
}

// The dial text of the fields into out; false when it does not fit.
bool ComposeDialText(HWND dialog, char (&out)[PtpTextCapacity])
{
    char texts[3][PtpTextCapacity];
    for (int i = 0; i < 3; ++i)
        DialogItem(dialog, TextFields[i]).GetText(texts[i], sizeof(texts[i]));
    BOOL translated = FALSE;
    int retries = int(GetDlgItemInt(dialog, IDC_RETRIES, &translated, TRUE));
    DialSettings settings = {texts[0],
                             translated ? retries : 0,
                             DialogItem(dialog, IDC_INTERVAL).GetUnsigned(),
                             DialogItem(dialog, IDC_RINGS).GetUnsigned(),
                             texts[1],
                             texts[2]};
    return FormatDialParameters(out, sizeof(out), settings);
}

// The text field that made the dial text too long: the longest one.
int LongestTextField(HWND dialog)
{
    int longest = TextFields[0];
    for (int id : TextFields)
        if (GetWindowTextLengthA(GetDlgItem(dialog, id)) > GetWindowTextLengthA(GetDlgItem(dialog, longest)))
            longest = id;
    return longest;
}

// A warning on field: its text selected and focused, the message asked.
bool Confirm(HWND dialog, int field, UINT messageId)
{
    DialogItem item(dialog, field);
    item.SelectAllText();
    item.Focus();
    return ShowMessage(dialog, messageId, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

// OK: the warnings, then the composed text, which must fit the caller's
// buffer; one that does not is refused on its longest text field.
void Accept(HWND dialog)
{
    if (!CheckDialDialog(dialog))
        return;
    char text[PtpTextCapacity];
    if (!ComposeDialText(dialog, text)) {
        DialogItem field(dialog, LongestTextField(dialog));
        field.Focus();
        field.SelectAllText();
        ShowMessage(dialog, IDS_DIAL_SETTINGS_LONG, MB_ICONHAND);
        return;
    }
    if (char* buffer = CallerBuffer(dialog))
        memcpy(buffer, text, sizeof(text));
    EndDialog(dialog, IDOK);
}

}  // namespace

bool CheckDialDialog(HWND dialog)
{
    if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_PHONES)) == 0)
        return Confirm(dialog, IDC_PHONES, IDS_NO_PHONE_NUMBERS);
    BOOL translated = FALSE;
    int retries = int(GetDlgItemInt(dialog, IDC_RETRIES, &translated, TRUE));
    if (!translated || retries < 0)
        return Confirm(dialog, IDC_RETRIES, IDS_RETRIES_NEGATIVE);
    return true;
}

INT_PTR CALLBACK DialDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ShowDialText(dialog, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            Accept(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return TRUE;
        }
    default:
        return FALSE;
    }
}
