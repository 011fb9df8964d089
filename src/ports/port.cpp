#include "ports/port.h"

#include <string.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"
#include "registry/scan_number.h"
#include "resource.h"

const char NotApplicableText[] = "n/a";

namespace {

// The two numbers of the common dialog fields: control 510 takes 3
// characters, control 512 takes 6.
const NumberRange PortIdRange = {1, 255, 3};
const NumberRange NetworkRange = {1, 65534, 6};

}  // namespace

// ---------------------------------------------------------------------------
// Port

Port::Port() : portId(), portIdText(), attached(), attachedText()
{
    SetPortId(DefaultPortId);
    SetAttached(DefaultAttached);
}

Port::Port(const RegKey& entry) : Port()
{
    SetPortId(entry.ReadByte(PortValue, DefaultPortId));
    SetAttached(entry.ReadBool(ConnectedValue, DefaultAttached));
}

// Control 510 is read with GetDlgItemInt, control 512 as "%i".
Port::Port(HWND dialog) : Port()
{
    SetPortId(DialogItem(dialog, IDC_PORT_ID).ReadUnsigned(PortIdRange));
    SetAttached(DialogItem(dialog, IDC_ATTACHED).IsChecked());
}

Port::~Port() = default;

void Port::SetPortId(unsigned number)
{
    portId = BYTE(number);
    FormatDecimal(portIdText, sizeof(portIdText), "", portId);
}

void Port::SetAttached(bool flag)
{
    attached = flag ? 1 : 0;
    strcpy(attachedText, flag ? "Yes" : "No");
}

Port& Port::CopyFrom(const Port& other)
{
    SetPortId(other.portId);
    SetAttached(other.attached != 0);
    return *this;
}

bool Port::IsSamePort(const Port& other) const { return portId == other.portId; }

bool Port::Edit(HWND parent)
{
    INT_PTR result = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(GetDialogId()), parent, GetDialogProc(),
                                     reinterpret_cast<LPARAM>(this));
    return result == IDOK;
}

const char* Port::GetPortIdText() const { return portIdText; }

const char* Port::GetAttachedText() const { return attachedText; }

bool Port::Save(const RegKey& entry) const
{
    return entry.WriteDword(TypeValue, DWORD(GetType())) &&
           entry.WriteDword(ProtocolValue, DWORD(GetProtocol())) && entry.WriteByte(PortValue, portId) &&
           entry.WriteBool(ConnectedValue, attached);
}

bool Port::IsValid() const
{
    int controlId, messageId;
    return Validate(controlId, messageId);
}

bool Port::Validate(int& controlId, int& messageId) const
{
    if (!PortIdRange.Contains(portId)) {
        controlId = IDC_PORT_ID;
        messageId = IDS_INVALID_FIELD;
        return false;
    }
    return true;
}

void Port::InitDialog(HWND dialog) const
{
    DialogItem(dialog, IDC_PORT_ID).ShowNumber(portId, PortIdRange);
    DialogItem(dialog, IDC_ATTACHED).SetChecked(attached != 0);
}

DLGPROC Port::GetDialogProc() const { return PortDialogProc; }

// ---------------------------------------------------------------------------
// PortWithDnet

PortWithDnet::PortWithDnet() : Port(), network(), networkText() { SetNetwork(DefaultNetwork); }

PortWithDnet::PortWithDnet(const RegKey& entry) : Port(entry), network(), networkText()
{
    SetNetwork(entry.ReadWord(DnetValue, DefaultNetwork));
}

PortWithDnet::PortWithDnet(HWND dialog) : Port(dialog), network(), networkText()
{
    SetNetwork(DialogItem(dialog, IDC_NETWORK).ReadNumber(NetworkRange));
}

void PortWithDnet::SetNetwork(unsigned number)
{
    network = WORD(number & 0xFFFF);
    FormatDecimal(networkText, sizeof(networkText), "", network);
}

Port& PortWithDnet::CopyFrom(const Port& other)
{
    Port::CopyFrom(other);
    const PortWithDnet* withDnet = dynamic_cast<const PortWithDnet*>(&other);
    if (withDnet && other.GetKind() == GetKind())
        SetNetwork(withDnet->network);
    else
        SetNetwork(DefaultNetwork);
    return *this;
}

bool PortWithDnet::IsSamePort(const Port& other) const
{
    if (Port::IsSamePort(other))
        return true;
    const PortWithDnet* withDnet = dynamic_cast<const PortWithDnet*>(&other);
    return withDnet && withDnet->network == network;
}

const char* PortWithDnet::GetNetworkText() const { return networkText; }

bool PortWithDnet::Save(const RegKey& entry) const
{
    return entry.WriteWord(DnetValue, network) && Port::Save(entry);
}

bool PortWithDnet::Validate(int& controlId, int& messageId) const
{
    if (!Port::Validate(controlId, messageId))
        return false;
    if (!NetworkRange.Contains(network)) {
        controlId = IDC_NETWORK;
        messageId = IDS_INVALID_FIELD;
        return false;
    }
    return true;
}

void PortWithDnet::InitDialog(HWND dialog) const
{
    DialogItem(dialog, IDC_NETWORK).ShowNumber(network, NetworkRange);
    Port::InitDialog(dialog);
}
