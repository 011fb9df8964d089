// An Ethernet port: the port through which the data-link driver reaches a
// network adapter. Besides what PortWithDnet provides it names the adapter,
// in the form of the platform it runs on:
//   Windows 95/98        the adapter's driver key name without "Net\";
//   Windows NT 4.0       one entry of the driver's "Bind" list;
//   Windows 2000 and on  always "Default".
#pragma once
#include "ports/kinds/adapter_name.h"
#include "ports/port.h"
#include "resource.h"

class PhysicalPort : public PortWithDnet {
public:
    PhysicalPort();
    // The entry's values, then the adapter checked against those present.
    explicit PhysicalPort(const RegKey& entry);
    // The dialog's fields, the adapter as chosen in its list.
    explicit PhysicalPort(HWND dialog);

    Port& CopyFrom(const Port& other) override;
    int GetType() const override { return PortTypePhysical; }
    int GetProtocol() const override { return 0; }
    int GetKind() const override { return KindPhysical; }
    // Every Ethernet port is the same port as any other: the driver runs one.
    bool IsSamePort(const Port& other) const override;
    const char* GetTypeName() const override { return "Physical"; }
    const char* GetProtocolName() const override { return "Ethernet"; }
    const char* GetNicText() const override { return nic; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    bool Save(const RegKey& entry) const override;
    Port* CreateFromDialog(HWND dialog) const override;
    void InitDialog(HWND dialog) const override;
    int GetDialogId() const override { return IDD_ETHERNET_PORT; }

private:
    void SetNic(const char* name);
    bool IsDefaultNic() const;
    void ReconcileNic();

    char nic[NicCapacity];
};
