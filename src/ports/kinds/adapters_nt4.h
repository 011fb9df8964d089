// The adapters of Windows NT 4.0 that the data-link driver is bound to: the
// entries of its "Bind" list, each naming one adapter.
#pragma once
#include <windows.h>

#include "ports/kinds/adapter_name.h"

// The "Bind" list as read from the registry: NUL-terminated entries closed
// by an empty one. Owns its buffer.
class BindList {
public:
    BindList() : text(nullptr), size(0) {}
    ~BindList() { delete[] text; }
    BindList(const BindList&) = delete;
    BindList& operator=(const BindList&) = delete;

    // The first entry, or null when the list is empty.
    const char* First() const;
    // The entry after entry, or null at the end of the list.
    const char* Next(const char* entry) const;

private:
    friend bool ReadBindList(BindList& list);
    char* text;
    DWORD size;
};

// Reads the "Bind" list; a missing value reads as the list holding
// "Default" alone. False only when memory runs out.
bool ReadBindList(BindList& list);

// The load check: keeps nic when the list holds it, otherwise copies the
// first entry into nic (size bytes). False, nic untouched, when the list
// cannot be read or is empty.
bool ReconcileAdapterNt4(char* nic, size_t size);
