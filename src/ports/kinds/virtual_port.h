// A virtual port: a network that the stack reaches only inside itself. It
// has nothing but what PortWithDnet provides.
#pragma once
#include "ports/port.h"

#include "resource.h"

class VirtualPort : public PortWithDnet {
public:
    VirtualPort();
    explicit VirtualPort(const RegKey& entry);
    explicit VirtualPort(HWND dialog);

    int GetType() const override { return PortTypeVirtual; }
    int GetProtocol() const override { return 0; }
    int GetKind() const override { return KindVirtual; }
    const char* GetTypeName() const override { return "Virtual"; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND dialog) const override;
    int GetDialogId() const override { return IDD_VIRTUAL_PORT; }
};
