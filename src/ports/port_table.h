// The one in-memory copy of the Port Table: an ordered, doubly linked list
// of ports, moved between memory and the registry by load, save and free.
#pragma once
#include <windows.h>

class Port;
class RegKey;

struct PortTableNode {
    PortTableNode* previous;
    PortTableNode* next;
    Port* port;  // owned by the table
};

struct PortTableList {
    int count;
    PortTableNode* tail;
    PortTableNode* head;
    PortTableNode* cursor;  // position of a whole-table walk; null when idle
    // Raised by every change of the list: append, node removal and swap,
    // and so by load and free. A walk that lets messages run (a message
    // box) learns from it whether the list is still the one it walked.
    DWORD changes;

    // At the very end of the process: releases the nodes left, without
    // destroying their ports (the detach step has freed the table by then).
    ~PortTableList();
};

extern PortTableList PortTable;

// The host's change callback: (Port Table dialog, 1 = unsaved changes,
// 0 = none). It cleans its own arguments off the stack.
typedef void(WINAPI* PortTableChangeCallback)(HWND dialog, BYTE changed);

extern PortTableChangeCallback ChangeCallback;
extern HWND PortTableDialog;

// The stack reads at most this many entries; the loader stops there and
// the Port Table dialog adds no more.
const int MaxPortTableEntries = 255;

// Fills the list from the registry; false only when "Num_Entries" is
// negative. Removes the nodes already there without destroying their ports:
// replace a loaded table with FreePortTable first.
bool LoadPortTable();
// The port stored under entry, of the class its "Type" and "Protocol" name;
// null when it cannot be built. Owned by the caller.
Port* CreatePortFromKey(const RegKey& entry);
// Rewrites the stored table from the list; false when "Num_Entries" cannot
// be written.
bool SavePortTable();
// Destroys every port and node.
bool FreePortTable();

// Appends port at the tail; the table owns it from then on. False (port not
// taken) when memory runs out.
bool AppendPort(Port* port);
// Unlinks node and frees it; its port is not destroyed.
void RemovePortTableNode(PortTableNode* node);
// Exchanges the ports at positions first and second (from 0); false when
// either position holds none.
bool SwapPortTableEntries(int first, int second);
// The node at position (from 0), or null.
PortTableNode* PortTableNodeAt(int position);

// Tells the host, through its callback when it registered one, whether the
// table holds unsaved changes.
void NotifyChanged(BYTE changed);

// Name of the subkey of the entry at position: "Entry%d".
void FormatEntryName(char (&name)[16], int position);
