// The adapters of Windows NT 4.0 that the data-link driver is bound to: the
// entries of its "Bind" list, each naming one adapter.
#pragma once
#include <windows.h>

#include <memory>

#include "ports/dialog_controls.h"
#include "ports/kinds/adapter_name.h"

// The "Bind" list as read from the registry: NUL-terminated entries closed
// by an empty one. Owns its buffer.
class BindList {
public:
    BindList() : size(0) {}

    // The first entry, or null when the list is empty.
    const char* First() const;
    // The entry after entry, or null at the end of the list.
    const char* Next(const char* entry) const;

private:
    friend bool ReadBindList(BindList& list);
    std::unique_ptr<char[]> text;
    DWORD size;
};

// Reads the "Bind" list; a missing value reads as the list holding
// "Default" alone. False only when memory runs out.
bool ReadBindList(BindList& list);

// The load check: keeps nic when the list holds it, otherwise copies the
// first entry into nic (size bytes). False, nic untouched, when the list
// cannot be read or is empty.
bool ReconcileAdapterNt4(char* nic, size_t size);

// Adds every entry of the "Bind" list in order to combo and selects the last
// one equal to nic. False when the list cannot be read.
bool FillAdapterListNt4(const char* nic, const ComboBox& combo);

// Copies the text of the dialog's adapter list into nic: the selected entry,
// or the empty text when none is selected.
void ReadAdapterChoiceNt4(char (&nic)[NicCapacity], HWND dialog);
