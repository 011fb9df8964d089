#include "ports/port_table.h"

#include <new>

#include "ports/kinds/bip_port.h"
#include "ports/kinds/com20020_port.h"
#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/ptp_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port.h"
#include "registry/reg_key.h"
#include "registry/scan_number.h"
#include "stack/stack_names.h"

PortTableList PortTable = {0, nullptr, nullptr, nullptr, 0};
PortTableChangeCallback ChangeCallback = nullptr;
HWND PortTableDialog = nullptr;

namespace {

// Builds a port of class T from an entry key; null when memory runs out.
template <class T>
Port* Build(const RegKey& entry)
{
    return new (std::nothrow) T(entry);
}

}  // namespace

PortTableList::~PortTableList()
{
    while (head)
        RemovePortTableNode(head);
}

void FormatEntryName(char (&name)[16], int position)
{
    FormatDecimal(name, sizeof(name), "Entry", uint32_t(position));
}

bool AppendPort(Port* port)
{
    PortTableNode* node = new (std::nothrow) PortTableNode;
    if (!node)
        return false;
    node->previous = PortTable.tail;
    node->next = nullptr;
    node->port = port;
    if (PortTable.tail)
        PortTable.tail->next = node;
    else
        PortTable.head = node;
    PortTable.tail = node;
    ++PortTable.count;
    ++PortTable.changes;
    return true;
}

void RemovePortTableNode(PortTableNode* node)
{
    if (!node)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else
        PortTable.head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        PortTable.tail = node->previous;
    if (PortTable.cursor == node)
        PortTable.cursor = nullptr;
    delete node;
    --PortTable.count;
    ++PortTable.changes;
}

bool SwapPortTableEntries(int first, int second)
{
    PortTableNode* a = PortTableNodeAt(first);
    PortTableNode* b = PortTableNodeAt(second);
    if (!a || !b)
        return false;
    if (a != b) {
        Port* port = a->port;
        a->port = b->port;
        b->port = port;
        ++PortTable.changes;
    }
    return true;
}

PortTableNode* PortTableNodeAt(int position)
{
    if (position < 0)
        return nullptr;
    PortTableNode* node = PortTable.head;
    for (int i = 0; node && i < position; ++i)
        node = node->next;
    return node;
}

Port* CreatePortFromKey(const RegKey& entry)
{
    DWORD type, protocol;
    entry.ReadDword(TypeValue, type, 0);
    entry.ReadDword(ProtocolValue, protocol, 0);
    switch (type) {
    case PortTypePhysical:
        if (protocol == 1)
            return Build<BipPort>(entry);
        if (protocol == 3)
            return Build<Com20020Port>(entry);
        return Build<PhysicalPort>(entry);
    case PortTypeVirtual:
        return Build<VirtualPort>(entry);
    case PortTypePointToPoint:
        // Serial (2) or HTTP (9); entries of other protocols are dropped.
        if (protocol == 2)
            return Build<PtpPort>(entry);
        if (protocol == 9)
            return Build<OhttpPtpPort>(entry);
        return nullptr;
    default:
        return Build<PhysicalPort>(entry);
    }
}

bool LoadPortTable()
{
    while (PortTable.head)
        RemovePortTableNode(PortTable.head);

    RegNamedReadKey table(HKEY_LOCAL_MACHINE, PORT_TABLE_KEY_PATH);
    DWORD stored;
    table.ReadDword("Num_Entries", stored, 0);
    int count = int(stored);
    if (count < 0)
        return false;
    if (count > MaxPortTableEntries)
        count = MaxPortTableEntries;

    for (int i = 0; i < count; ++i) {
        char name[16];
        FormatEntryName(name, i);
        RegNamedReadKey entry(table.Handle(), name);
        Port* port = CreatePortFromKey(entry);
        if (port && !AppendPort(port))
            delete port;
    }
    return true;
}

bool SavePortTable()
{
    RegKey::DeleteKeyPath(HKEY_LOCAL_MACHINE, PORT_TABLE_KEY_PATH);
    RegWriteKey table(HKEY_LOCAL_MACHINE, PORT_TABLE_KEY_PATH);
    if (!table.WriteDword("Num_Entries", DWORD(PortTable.count))) {
        OutputDebugStringA("TOLMARIN: the Port Table could not be written.\n");
        return false;
    }
    int index = 0;
    for (PortTable.cursor = PortTable.head; PortTable.cursor && PortTable.cursor->port;
         PortTable.cursor = PortTable.cursor->next, ++index) {
        char name[16];
        FormatEntryName(name, index);
        RegWriteKey entry(table.Handle(), name);
        PortTable.cursor->port->Save(entry);
    }
    PortTable.cursor = nullptr;
    return true;
}

bool FreePortTable()
{
    while (PortTable.head) {
        Port* port = PortTable.head->port;
        RemovePortTableNode(PortTable.head);
        delete port;
    }
    return true;
}

void NotifyChanged(BYTE changed)
{
    if (ChangeCallback)
        ChangeCallback(PortTableDialog, changed);
}
