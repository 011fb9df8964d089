#include "ports/dialog_controls.h"

#include "registry/scan_number.h"

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

void DialogItem::ShowNumber(unsigned number, const NumberRange& range) const
{
    LimitText(range.characters);
    if (range.Contains(number))
        SetUnsigned(number);
    else
        SetText("");
}

unsigned DialogItem::ReadUnsigned(const NumberRange& range) const
{
    unsigned number = GetUnsigned();
    return number > range.max ? 0 : number;
}

unsigned DialogItem::ReadNumber(const NumberRange& range) const
{
    int32_t value;
    if (!ScanNumber(39, value) || uint32_t(value) > range.max)
        return 0;
    return uint32_t(value);
}

bool DialogItem::ScanNumber(int characters, int32_t& value) const
{
    char text[128] = "";
    int size = characters + 1 < int(sizeof(text)) ? characters + 1 : int(sizeof(text));
    GetText(text, size);
    return ScanInt(text, value);
}

// LVM_GETITEM and LVM_SETITEM with the state mask touch the selected state
// alone, leaving focus and the other states as they are.
bool ListView::IsSelected(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_SELECTED;
    return SendMessageA(window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
           (item.state & LVIS_SELECTED);
}

void ListView::SetSelected(int row, bool selected) const
{
    LVITEMA item = {};
    item.mask = LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(window, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}
