// An ARCNET port: the stack reaches an ARCNET network through a COM20020
// controller on the host's I/O bus. Besides what PortWithDnet provides it
// holds the controller's settings, which travel to the stack in the port's
// "Secondary_Info" parameter string; the string is rebuilt whenever they
// change.
#pragma once
#include "ports/kinds/com20020_info.h"
#include "ports/port.h"
#include "resource.h"

class Com20020Port : public PortWithDnet {
public:
    // "Nic" is written empty and never read.
    Com20020Port();
    // The entry's values, "Secondary_Info" parsed and written again.
    explicit Com20020Port(const RegKey& entry);
    // The fields of dialog 506.
    explicit Com20020Port(HWND dialog);

    // The settings of another ARCNET port; those of a new port from any other kind.
    Port& CopyFrom(const Port& other) override;
    int GetType() const override { return PortTypePhysical; }
    int GetProtocol() const override { return 3; }
    int GetKind() const override { return KindCom20020; }
    // The stack drives one controller: any two ARCNET ports are the same port.
    bool IsSamePort(const Port& other) const override;
    const char* GetTypeName() const override { return "Physical"; }
    const char* GetProtocolName() const override { return "ARCNET"; }
    const char* GetNicText() const override { return "Default"; }
    const char* GetSecondaryInfo() const override { return secondaryInfo; }
    bool Save(const RegKey& entry) const override;
    Port* CreateFromDialog(HWND dialog) const override;
    bool Validate(int& controlId, int& messageId) const override;
    void InitDialog(HWND dialog) const override;
    int GetDialogId() const override { return IDD_COM20020_PORT; }

    const Com20020Settings& GetSettings() const { return settings; }

private:
    void SetSettings(const Com20020Settings& changed);

    Com20020Settings settings;
    char secondaryInfo[SecondaryInfoCapacity];
};
