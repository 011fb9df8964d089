#include "ports/kinds/adapters_nt4.h"

#include <new>
#include <string.h>

#include "registry/reg_key.h"
#include "stack/stack_names.h"

namespace {

// What a missing "Bind" value reads as: the list holding "Default" alone.
// The literal's own terminator closes the list.
const char DefaultBindList[] = "Default\0";

}  // namespace

const char* BindList::First() const { return text && size > 0 && text[0] ? text : nullptr; }

const char* BindList::Next(const char* entry) const
{
    if (!entry || !text)
        return nullptr;
    // Bounded by the buffer, whatever the registry held: ReadMultiString
    // closes the list within it, but no entry is trusted to be terminated.
    const char* end = text + size;
    const char* next = entry + strnlen(entry, size_t(end - entry)) + 1;
    return next < end && *next ? next : nullptr;
}

bool ReadBindList(BindList& list)
{
    RegReadKey linkage(HKEY_LOCAL_MACHINE, DRIVER_LINKAGE_KEY_PATH);
    DWORD size = 0;
    linkage.ReadMultiString(DRIVER_BIND_VALUE, nullptr, size, DefaultBindList);
    char* text = new (std::nothrow) char[size + 1];
    if (!text) {
        OutputDebugStringA("TOLMARIN: no memory for the driver's binding list.\n");
        return false;
    }
    DWORD capacity = size + 1;
    linkage.ReadMultiString(DRIVER_BIND_VALUE, text, capacity, DefaultBindList);
    delete[] list.text;
    list.text = text;
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
