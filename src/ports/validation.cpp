#include "ports/validation.h"

#include <memory>
#include <new>

#include "ports/kinds/bip_port.h"
#include "ports/port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"
#include "resource.h"

namespace {

// The warnings let the user go on (OK) or stop (Cancel).
const UINT WarningStyle = MB_OKCANCEL | MB_ICONEXCLAMATION;

// What the count rule needs: valid entries that are not virtual, and valid
// entries that are not point-to-point (a physical port is both).
struct PortCounts {
    int nonVirtual = 0;
    int nonPointToPoint = 0;
};

bool IsUsable(BYTE status) { return status == EntryValidAttached || status == EntryValidDetached; }

// Status of node's port. earlier[i] is the status of the i-th node from the
// head, filled for every node before this one. The duplicate question is
// asked of this (the later) port about the earlier one: IsSamePort is not
// symmetric for every kind. Invalid and duplicate entries are never
// compared against.
BYTE StatusOf(const PortTableNode* node, const BYTE* earlier)
{
    const Port* port = node->port;
    if (!port || !port->IsValid())
        return EntryInvalid;
    int i = 0;
    for (const PortTableNode* other = PortTable.head; other && other != node; other = other->next, ++i) {
        if (IsUsable(earlier[i]) && other->port && port->IsSamePort(*other->port))
            return EntryDuplicate;
    }
    return port->IsAttached() ? EntryValidAttached : EntryValidDetached;
}

void CountEntry(const Port& port, PortCounts& counts)
{
    if (port.GetType() != PortTypeVirtual)
        ++counts.nonVirtual;
    if (port.GetType() != PortTypePointToPoint)
        ++counts.nonPointToPoint;
}

// Shows warning id; true when the user chose to go on.
bool Ask(HWND dialog, UINT id) { return ShowMessage(dialog, id, WarningStyle) == IDOK; }

// The walk of one check: marks and reports the duplicate and invalid
// entries and counts the valid ones. False when the check must stop with 0.
class TableCheck {
public:
    explicit TableCheck(HWND dialog)
        : dialog(dialog), list(dialog ? GetDlgItem(dialog, IDC_PORT_LIST) : nullptr)
    {
    }

    bool Walk(PortCounts& counts);

private:
    bool Report(int position, BYTE status);

    HWND dialog;
    HWND list;
    bool duplicateShown = false;
    bool invalidShown = false;
};

// Walks the table with its cursor. A message box runs a message loop, so
// the table can change under the walk (a host reloading it, say): after
// each message the walk stops unless the table's change count is still the
// one it started with, and never looks past the entries it started with.
bool TableCheck::Walk(PortCounts& counts)
{
    int count = PortTable.count;
    if (count <= 0)
        return true;
    std::unique_ptr<BYTE[]> statuses(new (std::nothrow) BYTE[count]);
    if (!statuses) {
        OutputDebugStringA("TOLMARIN: out of memory while checking the Port Table.\n");
        return false;
    }
    const DWORD changes = PortTable.changes;
    int position = 0;
    for (PortTable.cursor = PortTable.head; PortTable.cursor && position < count; ++position) {
        PortTableNode* node = PortTable.cursor;
        BYTE status = StatusOf(node, statuses.get());
        statuses[position] = status;
        if (IsUsable(status))
            CountEntry(*node->port, counts);
        else if (!Report(position, status))
            return false;
        if (PortTable.changes != changes) {
            OutputDebugStringA("TOLMARIN: the Port Table changed while it was being checked.\n");
            PortTable.cursor = nullptr;
            return false;
        }
        PortTable.cursor = node->next;
    }
    PortTable.cursor = nullptr;
    return true;
}

// Selects the offending row alone; the first entry of each kind also gets
// its message. False when the user chose Cancel.
bool TableCheck::Report(int position, BYTE status)
{
    if (list)
        SelectListItem(list, position);
    bool& shown = status == EntryDuplicate ? duplicateShown : invalidShown;
    if (shown)
        return true;
    shown = true;
    if (Ask(dialog, status == EntryDuplicate ? IDS_DUPLICATE_ENTRIES : IDS_INVALID_ENTRIES))
        return true;
    PortTable.cursor = nullptr;
    return false;
}

}  // namespace

int ComputeEntryStatuses(BYTE* statuses, int count)
{
    if (!statuses)
        return 0;
    HostAddressesSnapshot hostAddresses;  // one resolver question for the pass
    int filled = 0;
    for (const PortTableNode* node = PortTable.head; node && filled < count; node = node->next) {
        statuses[filled] = StatusOf(node, statuses);
        ++filled;
    }
    return filled;
}

int GetEntryStatus(int position)
{
    if (position < 0 || position >= PortTable.count)
        return -1;
    std::unique_ptr<BYTE[]> statuses(new (std::nothrow) BYTE[position + 1]);
    if (!statuses || ComputeEntryStatuses(statuses.get(), position + 1) != position + 1)
        return -1;
    return statuses[position];
}

int ValidatePortTable(HWND dialog)
{
    PortCounts counts;
    if (!TableCheck(dialog).Walk(counts))
        return 0;
    if (counts.nonVirtual > 0 && counts.nonPointToPoint > 0)
        return 1;
    return Ask(dialog, IDS_PORT_SET_INCOMPLETE) ? 1 : 0;
}
