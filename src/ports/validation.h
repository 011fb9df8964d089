// The check of the whole Port Table before it is saved or applied: each
// entry's status (valid, duplicate, invalid) and the warnings that let the
// user decide whether to go on. The check never changes the table.
#pragma once
#include <windows.h>

// Status of an entry, also the image of its row in the Port Table dialog.
enum EntryStatus {
    EntryValidAttached = 0,
    EntryValidDetached = 1,
    EntryDuplicate = 2,  // the same port as an earlier valid, non-duplicate entry
    EntryInvalid = 3,    // the port's own validation fails
};

// Checks the table in list order. Each duplicate or invalid entry gets its
// row selected in list view IDC_PORT_LIST of dialog; the first of each kind
// is also reported in a message box owned by dialog. A table without a valid
// non-virtual and a valid non-point-to-point port is reported last. Returns
// 1 when the caller may go on, 0 when the user chose Cancel (or the table
// changed while a message was shown). A null dialog checks all the same,
// with unowned message boxes and no list.
int ValidatePortTable(HWND dialog);

// The status of the entry at position (from 0); -1 when there is no such
// entry or memory for the check ran out.
int GetEntryStatus(int position);

// Statuses of the first count entries of the table in one pass, into
// statuses[0..count-1]; returns how many were filled (fewer when the table
// is shorter).
int ComputeEntryStatuses(BYTE* statuses, int count);
