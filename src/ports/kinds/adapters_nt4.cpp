#include "ports/kinds/adapters_nt4.h"

#include <new>
#include <string.h>

#include <utility>

#include "registry/reg_key.h"
#include "resource.h"
#include "stack/stack_names.h"

namespace {

// What a missing "Bind" value reads as: the list holding "Default" alone.
// The literal's own terminator closes the list.
const char DefaultBindList[] = "Default\0";

}  // namespace

const char* BindList::First() const { return text && size > 0 && text[0] ? text.get() : nullptr; }

const char* BindList::Next(const char* entry) const
{
    if (!entry || !text)
        return nullptr;
    // Bounded by the buffer, whatever the registry held: ReadMultiString
    // closes the list within it, but no entry is trusted to be terminated.
    const char* end = text.get() + size;
    const char* next = entry + strnlen(entry, size_t(end - entry)) + 1;
    return next < end && *next ? next : nullptr;
}

bool ReadBindList(BindList& list)
{
    RegReadKey linkage(HKEY_LOCAL_MACHINE, DRIVER_LINKAGE_KEY_PATH);
    DWORD size = 0;
    linkage.ReadMultiString(DRIVER_BIND_VALUE, nullptr, size, DefaultBindList);
    std::unique_ptr<char[]> text(new (std::nothrow) char[size + 1]);
    if (!text) {
        OutputDebugStringA("TOLMARIN: no memory for the driver's binding list.\n");
        return false;
    }
    DWORD capacity = size + 1;
    linkage.ReadMultiString(DRIVER_BIND_VALUE, text.get(), capacity, DefaultBindList);
    list.text = std::move(text);
    list.size = size + 1;
    return true;
}

bool ReconcileAdapterNt4(char* nic, size_t size)
{
    BindList bindings;
    if (!ReadBindList(bindings))
        return false;
    const char* first = bindings.First();
    if (!first)
        return false;
    if (strcmp(nic, DefaultNic) != 0) {
        for (const char* entry = first; entry; entry = bindings.Next(entry)) {
            if (strcmp(entry, nic) == 0)
                return true;
        }
    }
    CopyNic(nic, size, first);
    return true;
}

bool FillAdapterListNt4(const char* nic, const ComboBox& combo)
{
    BindList bindings;
    if (!ReadBindList(bindings))
        return false;
    int match = -1;
    for (const char* entry = bindings.First(); entry; entry = bindings.Next(entry)) {
        int index = combo.Add(entry);
        if (index >= 0 && strcmp(entry, nic) == 0)
            match = index;
    }
    if (match >= 0)
        combo.Select(match);
    return true;
}

void ReadAdapterChoiceNt4(char (&nic)[NicCapacity], HWND dialog)
{
    DialogItem(dialog, IDC_ADAPTER_LIST).GetText(nic, sizeof(nic));
}
