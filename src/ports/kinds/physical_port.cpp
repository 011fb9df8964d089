#include "ports/kinds/physical_port.h"

#include <new>
#include <string.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/adapters_9x.h"
#include "ports/kinds/adapters_nt4.h"
#include "registry/reg_key.h"

namespace {

// Where adapter names come from, by the platform flags of the module.
enum class AdapterSource { Setup9x, BindListNt4, NoneNt5 };

AdapterSource HostAdapterSource()
{
    if (IsWin9x)
        return AdapterSource::Setup9x;
    return IsNtAbove4 ? AdapterSource::NoneNt5 : AdapterSource::BindListNt4;
}

// The load check of the platform: true when nic now names an adapter
// present, false when none is to be had.
bool ReconcileForPlatform(char (&nic)[NicCapacity])
{
    switch (HostAdapterSource()) {
    case AdapterSource::Setup9x:
        return ReconcileAdapter9x(nic);
    case AdapterSource::BindListNt4:
        return ReconcileAdapterNt4(nic, sizeof(nic));
    case AdapterSource::NoneNt5:
        break;
    }
    return false;
}

// Fills the adapter list of the platform; true when it is to be enabled.
bool FillForPlatform(const char* nic, const ComboBox& adapters)
{
    switch (HostAdapterSource()) {
    case AdapterSource::Setup9x:
        return FillAdapterList9x(nic, adapters);
    case AdapterSource::BindListNt4:
        return FillAdapterListNt4(nic, adapters);  // enabled even when empty
    case AdapterSource::NoneNt5:
        break;
    }
    return false;
}

}  // namespace

PhysicalPort::PhysicalPort() : PortWithDnet(), nic() { SetNic(DefaultNic); }

PhysicalPort::PhysicalPort(const RegKey& entry) : PortWithDnet(entry), nic()
{
    // A text too long for the buffer reads as "Default", as does the empty
    // text that Save writes for it.
    entry.ReadString(NicValue, nic, sizeof(nic), DefaultNic);
    if (!nic[0])
        SetNic(DefaultNic);
    ReconcileNic();
}

PhysicalPort::PhysicalPort(HWND dialog) : PortWithDnet(dialog), nic()
{
    SetNic(DefaultNic);
    switch (HostAdapterSource()) {
    case AdapterSource::Setup9x:
        ReadAdapterChoice9x(nic, dialog);
        break;
    case AdapterSource::BindListNt4:
        ReadAdapterChoiceNt4(nic, dialog);
        break;
    case AdapterSource::NoneNt5:
        break;
    }
}

void PhysicalPort::SetNic(const char* name) { CopyNic(nic, sizeof(nic), name); }

bool PhysicalPort::IsDefaultNic() const { return strcmp(nic, DefaultNic) == 0; }

// The adapter read from the registry may be gone: keep it when it is still
// there, otherwise take the first adapter of the platform, or "Default".
void PhysicalPort::ReconcileNic()
{
    if (!ReconcileForPlatform(nic))
        SetNic(DefaultNic);
}

Port& PhysicalPort::CopyFrom(const Port& other)
{
    PortWithDnet::CopyFrom(other);
    const PhysicalPort* physical = dynamic_cast<const PhysicalPort*>(&other);
    SetNic(physical ? physical->nic : DefaultNic);
    return *this;
}

bool PhysicalPort::IsSamePort(const Port& other) const
{
    return PortWithDnet::IsSamePort(other) || dynamic_cast<const PhysicalPort*>(&other) != nullptr;
}

bool PhysicalPort::Save(const RegKey& entry) const
{
    if (!PortWithDnet::Save(entry))
        return false;
    // From Windows 2000 on the driver finds its adapters by itself.
    if (HostAdapterSource() == AdapterSource::NoneNt5)
        return true;
    return entry.WriteString(NicValue, IsDefaultNic() ? "" : nic);
}

Port* PhysicalPort::CreateFromDialog(HWND dialog) const { return new (std::nothrow) PhysicalPort(dialog); }

void PhysicalPort::InitDialog(HWND dialog) const
{
    PortWithDnet::InitDialog(dialog);
    ComboBox adapters(dialog, IDC_ADAPTER_LIST);
    adapters.Clear();
    adapters.Enable(FillForPlatform(nic, adapters));
}
