#include "ports/kinds/bdt.h"

#include <winsock2.h>

#include <commctrl.h>

#include <new>

#include "registry/reg_key.h"
#include "registry/scan_number.h"
#include "resource.h"

namespace {

// The longest stored text is 77 characters; read into 80 bytes.
const int StoredEntryCapacity = 80;
const int ValueNameCapacity = 24;
const int Columns = 3;

void EntryValueName(int index, char (&name)[ValueNameCapacity])
{
    FormatDecimal(name, sizeof(name), BdtEntryValuePrefix, uint32_t(index));
}

// The entry's field shown in a list column, and its size.
struct ColumnField {
    char* text;
    int size;
};
ColumnField FieldOfColumn(BdtEntry& entry, int column)
{
    switch (column) {
    case 0:
        return {entry.ipText, int(sizeof(entry.ipText))};
    case 1:
        return {entry.udpText, int(sizeof(entry.udpText))};
    default:
        return {entry.subnetText, int(sizeof(entry.subnetText))};
    }
}

void SetColumnText(HWND list, int row, int column, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(row), LPARAM(&item));
}

}  // namespace

Bdt::~Bdt() { Clear(); }

void Bdt::Clear()
{
    // One node at a time: a long chain must not unwind recursively.
    while (head)
        head = std::move(head->next);
    tail = nullptr;
    count = 0;
}

void Bdt::CopyFrom(const Bdt& other)
{
    if (&other == this)
        return;
    Clear();
    for (const Node* node = other.head.get(); node; node = node->next.get())
        Append(node->entry);
}

bool Bdt::Append(const BdtEntry& entry)
{
    std::unique_ptr<Node> node(new (std::nothrow) Node{entry, nullptr});
    if (!node)
        return false;
    Node* last = node.get();
    (tail ? tail->next : head) = std::move(node);
    tail = last;
    ++count;
    return true;
}

bool Bdt::Load(const RegKey& key)
{
    int stored = int(key.ReadDword(NumBdtEntriesValue, 0));
    int entries = stored < MaxLoadedEntries ? stored : MaxLoadedEntries;
    for (int index = 0; index < entries; ++index) {
        char name[ValueNameCapacity], text[StoredEntryCapacity];
        EntryValueName(index, name);
        key.ReadString(name, text, sizeof(text), "");
        Append(ParseBdtEntry(text));
    }
    return true;
}

bool Bdt::Save(const RegKey& key) const
{
    if (!key.WriteDword(NumBdtEntriesValue, DWORD(count)))
        return false;
    int index = 0;
    for (const Node* node = head.get(); node; node = node->next.get(), ++index) {
        char name[ValueNameCapacity], text[StoredEntryCapacity];
        EntryValueName(index, name);
        FormatBdtEntry(node->entry, text, sizeof(text));
        if (!key.WriteString(name, text))
            return false;
    }
    return true;
}

bool Bdt::Validate(int& messageId) const
{
    for (const Node* node = head.get(); node; node = node->next.get()) {
        if (!IsValidEntry(node->entry)) {
            messageId = IDS_BDT_ENTRY_INVALID;
            return false;
        }
        for (const Node* before = head.get(); before != node; before = before->next.get())
            if (EntriesEqual(before->entry, node->entry)) {
                messageId = IDS_BDT_DUPLICATES;
                return false;
            }
    }
    return true;
}

bool Bdt::IsValidEntry(const BdtEntry& entry)
{
    unsigned long address = inet_addr(entry.ipText);
    return address != INADDR_NONE && address != 0 && ParseUdpPortText(entry.udpText) != 0 &&
           inet_addr(entry.subnetText) != 0;
}

void Bdt::FillListView(HWND list) const
{
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (const Node* node = head.get(); node; node = node->next.get())
        AppendRow(list, node->entry);
}

void Bdt::ReadListView(HWND list)
{
    int rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        BdtEntry entry = {};
        GetRowTexts(list, row, entry);
        Append(entry);
    }
}

void Bdt::GetRowTexts(HWND list, int row, BdtEntry& entry)
{
    for (int column = 0; column < Columns; ++column) {
        ColumnField field = FieldOfColumn(entry, column);
        field.text[0] = '\0';
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = field.text;
        item.cchTextMax = field.size;
        SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
        field.text[field.size - 1] = '\0';
    }
}

int Bdt::FindRow(HWND list, const BdtEntry& entry)
{
    int rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        BdtEntry shown = {};
        GetRowTexts(list, row, shown);
        if (EntriesEqual(shown, entry))
            return row;
    }
    return -1;
}

void Bdt::AppendRow(HWND list, const BdtEntry& entry)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(entry.ipText);
    int row = int(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item)));
    if (row < 0)
        return;
    SetColumnText(list, row, 1, entry.udpText);
    SetColumnText(list, row, 2, entry.subnetText);
}
