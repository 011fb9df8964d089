#include "ports/dialog_controls.h"

void DialogItem::GetText(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return;
    buffer[0] = '\0';
    GetDlgItemTextA(dialog, id, buffer, size);
    buffer[size - 1] = '\0';
}

unsigned DialogItem::GetUnsigned() const
{
    BOOL translated = FALSE;
    UINT value = GetDlgItemInt(dialog, id, &translated, FALSE);
    return translated ? value : 0;
}
