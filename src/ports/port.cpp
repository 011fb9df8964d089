#include "ports/port.h"

#include <stdio.h>
#include <string.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"
#include "registry/scan_number.h"
#include "resource.h"

const char NotApplicableText[] = "n/a";

namespace {

const unsigned MaxPortId = 255;
const unsigned MaxNetwork = 65534;

// Port number typed into control 510: unsigned decimal; no number, or one
// above 255, gives 0.
unsigned ReadPortIdControl(HWND dialog)
{
    unsigned number = DialogItem(dialog, IDC_PORT_ID).GetUnsigned();
    return number > MaxPortId ? 0 : number;
}

// Network number typed into control 512, read as "%i": no number, or one
// above 65534 taken as unsigned (so any negative one too), gives 0.
unsigned ReadNetworkControl(HWND dialog)
{
    char text[40];
    DialogItem(dialog, IDC_NETWORK).GetText(text, sizeof(text));
    int32_t value;
    if (!ScanInt(text, value) || uint32_t(value) > MaxNetwork)
        return 0;
    return uint32_t(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// Port

Port::Port() : portId(0), portIdText(), attached(1), attachedText()
{
    SetPortId(0);
    SetAttached(true);
}

Port::Port(const RegKey& entry) : Port()
{
    BYTE number;
    bool connected;
    entry.ReadByte("Port", number, 0);
    entry.ReadBool("Connected", connected, true);
    SetPortId(number);
    SetAttached(connected);
}

Port::Port(HWND dialog) : Port()
{
    SetPortId(ReadPortIdControl(dialog));
    SetAttached(DialogItem(dialog, IDC_ATTACHED).IsChecked());
}

Port::~Port() = default;

void Port::SetPortId(unsigned number)
{
    portId = BYTE(number);
    snprintf(portIdText, sizeof(portIdText), "%u", unsigned(portId));
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
    return entry.WriteDword("Type", DWORD(GetType())) && entry.WriteDword("Protocol", DWORD(GetProtocol())) &&
           entry.WriteByte("Port", portId) && entry.WriteBool("Connected", attached);
}

bool Port::IsValid() const
{
    int controlId, messageId;
    return Validate(controlId, messageId);
}

bool Port::Validate(int& controlId, int& messageId) const
{
    if (portId == 0) {
        controlId = IDC_PORT_ID;
        messageId = IDS_INVALID_FIELD;
        return false;
    }
    return true;
}

void Port::InitDialog(HWND dialog) const
{
    DialogItem portField(dialog, IDC_PORT_ID);
    portField.LimitText(3);
    if (portId != 0)
        portField.SetUnsigned(portId);
    else
        portField.SetText("");
    DialogItem(dialog, IDC_ATTACHED).SetChecked(attached != 0);
}

DLGPROC Port::GetDialogProc() const { return PortDialogProc; }

// ---------------------------------------------------------------------------
// PortWithDnet

PortWithDnet::PortWithDnet() : Port(), network(0), networkText() { SetNetwork(0); }

PortWithDnet::PortWithDnet(const RegKey& entry) : Port(entry), network(0), networkText()
{
    WORD number;
    entry.ReadWord("Dnet", number, 0);
    SetNetwork(number);
}

PortWithDnet::PortWithDnet(HWND dialog) : Port(dialog), network(0), networkText()
{
    SetNetwork(ReadNetworkControl(dialog));
}

void PortWithDnet::SetNetwork(unsigned number)
{
    network = WORD(number & 0xFFFF);
    snprintf(networkText, sizeof(networkText), "%u", unsigned(network));
}

Port& PortWithDnet::CopyFrom(const Port& other)
{
    Port::CopyFrom(other);
    const PortWithDnet* withDnet = dynamic_cast<const PortWithDnet*>(&other);
    if (withDnet && other.GetKind() == GetKind())
        SetNetwork(withDnet->network);
    else
        SetNetwork(0);
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
    return entry.WriteWord("Dnet", network) && Port::Save(entry);
}

bool PortWithDnet::Validate(int& controlId, int& messageId) const
{
    if (!Port::Validate(controlId, messageId))
        return false;
    if (network < 1 || network > MaxNetwork) {
        controlId = IDC_NETWORK;
        messageId = IDS_INVALID_FIELD;
        return false;
    }
    return true;
}

void PortWithDnet::InitDialog(HWND dialog) const
{
    DialogItem networkField(dialog, IDC_NETWORK);
    networkField.LimitText(6);
    if (network >= 1 && network <= MaxNetwork)
        networkField.SetUnsigned(network);
    else
        networkField.SetText("");
    Port::InitDialog(dialog);
}
