#include "ports/kinds/ptp_lists.h"

#include <new>
#include <stdint.h>
#include <string.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/ptp_texts.h"
#include "registry/reg_key.h"

namespace {

const int NetworkTextLimit = 6;

const ListEditor Editors[] = {NetworkEditor, PasswordEditor};

// The editor one of whose controls is control, or null.
const ListEditor* EditorOf(int control)
{
    for (const ListEditor& editor : Editors)
        if (control == editor.list || control == editor.add || control == editor.remove)
            return &editor;
    return nullptr;
}

bool EditTextEmpty(HWND dialog, int list) { return GetWindowTextLengthA(GetDlgItem(dialog, list)) == 0; }

}  // namespace

void AccessibleNetworks::Assign(std::unique_ptr<WORD[]> list, int size)
{
    networks = size > 0 ? std::move(list) : nullptr;
    count = networks ? size : 0;
}

void AccessibleNetworks::Read(const RegKey& entry)
{
    DWORD size = 0;
    std::unique_ptr<char[]> list = entry.ReadMultiStringCopy(PtpDnetsValue, size, 0, "");
    if (!list)
        return Clear();
    size_t strings = CountMultiStrings(list.get(), size);
    std::unique_ptr<WORD[]> read(strings ? new (std::nothrow) WORD[strings] : nullptr);
    const char* text = list.get();
    for (size_t i = 0; read && i < strings; ++i, text += strlen(text) + 1)
        read[i] = NetworkFromText(text);
    Assign(std::move(read), int(strings));
}

bool AccessibleNetworks::Write(const RegKey& entry) const
{
    if (!count)
        return true;
    std::unique_ptr<char[]> list(new (std::nothrow) char[NetworkListSize(size_t(count))]);
    if (!list)
        return false;
    FormatNetworkList(networks.get(), size_t(count), list.get());
    return entry.WriteMultiString(PtpDnetsValue, list.get());
}

void AccessibleNetworks::ReadDialog(HWND dialog)
{
    int items = ComboBox(dialog, IDC_NETWORK_LIST).Count();
    std::unique_ptr<WORD[]> read(items > 0 ? new (std::nothrow) WORD[items] : nullptr);
    int made = 0;
    for (; read && made < items; ++made) {
        std::unique_ptr<char[]> text = ListItemText(dialog, IDC_NETWORK_LIST, made);
        if (!text)
            break;
        read[made] = NetworkFromText(text.get());
    }
    Assign(std::move(read), made);
}

void AccessibleNetworks::ShowDialog(HWND dialog) const
{
    ResetList(dialog, NetworkEditor, NetworkTextLimit);
    ComboBox list(dialog, IDC_NETWORK_LIST);
    for (int i = 0; i < count; ++i) {
        char text[8];
        wsprintfA(text, "%u", unsigned(networks[i]));
        list.Add(text);
    }
    DialogItem(dialog, IDC_NETWORK_REMOVE).Enable(count > 0);
}

bool AccessibleNetworks::IsValid() const
{
    for (int i = 0; i < count; ++i)
        if (networks[i] < 1 || networks[i] > 65534)
            return false;
    return true;
}

void AccessibleNetworks::CopyFrom(const AccessibleNetworks& other)
{
    if (&other == this)
        return;
    std::unique_ptr<WORD[]> copy(other.count ? new (std::nothrow) WORD[other.count] : nullptr);
    if (copy)
        memcpy(copy.get(), other.networks.get(), sizeof(WORD) * size_t(other.count));
    Assign(std::move(copy), copy ? other.count : 0);
}

void ResetList(HWND dialog, const ListEditor& editor, int textLimit)
{
    ComboBox list(dialog, editor.list);
    list.Clear();
    list.Send(CB_LIMITTEXT, WPARAM(textLimit), 0);
    DialogItem(dialog, editor.add).Enable(false);
}

void AddListItems(HWND dialog, const ListEditor& editor, const char* list, size_t size)
{
    ComboBox combo(dialog, editor.list);
    for (size_t at = 0; list && at < size && list[at];) {
        size_t length = strnlen(list + at, size - at);
        std::unique_ptr<char[]> item(new (std::nothrow) char[length + 1]);
        if (item) {
            memcpy(item.get(), list + at, length);
            item[length] = '\0';
            combo.Add(item.get());
        }
        at += length + 1;
    }
    DialogItem(dialog, editor.remove).Enable(combo.Count() > 0);
}

std::unique_ptr<char[]> ListItemText(HWND dialog, int list, int index)
{
    ComboBox combo(dialog, list);
    LRESULT length = combo.Send(CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length < 0)
        length = 0;
    std::unique_ptr<char[]> text(new (std::nothrow) char[size_t(length) + 1]);
    if (text) {
        text[0] = '\0';
        if (combo.Send(CB_GETLBTEXT, WPARAM(index), LPARAM(text.get())) < 0)
            text[0] = '\0';
        text[length] = '\0';
    }
    return text;
}

void ListTextChanged(HWND dialog, int control)
{
    if (const ListEditor* editor = EditorOf(control))
        DialogItem(dialog, editor->add).Enable(!EditTextEmpty(dialog, editor->list));
}

// An empty edit text adds nothing: an empty password would end the list of
// passwords early, and an empty network is never valid.
void AddListItem(HWND dialog, int control)
{
    const ListEditor* editor = EditorOf(control);
    if (!editor || EditTextEmpty(dialog, editor->list))
        return;
    HWND window = GetDlgItem(dialog, editor->list);
    int length = GetWindowTextLengthA(window);
    std::unique_ptr<char[]> text(new (std::nothrow) char[size_t(length) + 1]);
    if (!text)
        return;
    GetWindowTextA(window, text.get(), length + 1);
    ComboBox list(dialog, editor->list);
    int added = list.Add(text.get());
    if (added >= 0)
        list.Select(added);
    DialogItem(dialog, editor->remove).Enable(list.Count() > 0);
}

void RemoveListItem(HWND dialog, int control)
{
    const ListEditor* editor = EditorOf(control);
    if (!editor)
        return;
    ComboBox list(dialog, editor->list);
    int selected = list.Selection();
    if (selected < 0)
        return;
    list.Send(CB_DELETESTRING, WPARAM(selected), 0);
    int remaining = list.Count();
    DialogItem(dialog, editor->remove).Enable(remaining > 0);
    list.Select(remaining == 0 ? -1 : selected < remaining ? selected : remaining - 1);
}
