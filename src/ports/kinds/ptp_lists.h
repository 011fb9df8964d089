// What the two point-to-point kinds share: the list of networks reachable
// through the link, with its registry form and its check, and the editor of
// three controls (an editable combo box with its Add and Remove buttons)
// that dialogs 505 and 508 use for it and dialog 505 for the incoming
// passwords.
#pragma once
#include <windows.h>

#include <memory>

#include "resource.h"

class RegKey;

// The entry's value holding the accessible networks, one "%u" string each.
inline constexpr char PtpDnetsValue[] = "Ptp_Dnets";

class AccessibleNetworks {
public:
    // From the registry; numbers outside 1..65534 and texts without a
    // number become 0. Left empty when memory cannot be had.
    void Read(const RegKey& entry);
    // Written only when there are entries.
    bool Write(const RegKey& entry) const;
    // From the items of the network list, converted as from the registry;
    // ends at the items read so far when memory runs out.
    void ReadDialog(HWND dialog);
    // Fills the network list and sets its buttons.
    void ShowDialog(HWND dialog) const;
    // Every entry lies in 1..65534.
    bool IsValid() const;
    void CopyFrom(const AccessibleNetworks& other);
    void Clear() { Assign(nullptr, 0); }

private:
    void Assign(std::unique_ptr<WORD[]> list, int size);

    std::unique_ptr<WORD[]> networks;  // null exactly when count is 0
    int count = 0;
};

// The three controls of one list editor.
struct ListEditor {
    int list, add, remove;
};
inline constexpr ListEditor NetworkEditor = {IDC_NETWORK_LIST, IDC_NETWORK_ADD, IDC_NETWORK_REMOVE};
inline constexpr ListEditor PasswordEditor = {IDC_PASSWORD_LIST, IDC_PASSWORD_ADD, IDC_PASSWORD_REMOVE};

// Empties the list, limits its edit text, disables Add; Remove is set by
// AddListItems.
void ResetList(HWND dialog, const ListEditor& editor, int textLimit);
// Appends the strings of a multi-string (at most size bytes looked at), then
// enables Remove when the list has items.
void AddListItems(HWND dialog, const ListEditor& editor, const char* list, size_t size);
// The text of item index of a list, or null when memory runs out.
std::unique_ptr<char[]> ListItemText(HWND dialog, int list, int index);

// The actions of an editor's controls, found by the control's id:
// CBN_EDITCHANGE on the list enables Add exactly when the edit text is not
// empty; Add appends the edit text and selects it; Remove deletes the
// selected item and selects the one now at its place, or the last.
void ListTextChanged(HWND dialog, int control);
void AddListItem(HWND dialog, int control);
void RemoveListItem(HWND dialog, int control);
