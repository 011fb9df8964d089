#include "ports/kinds/bip_port.h"

#include <stdio.h>
#include <string.h>

#include <new>

#include "ports/dialog_controls.h"
#include "ports/kinds/bip_sheet.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"

namespace {

const int AddressTextCapacity = 24;  // "Nic", masks and addresses: 23 characters
const int SecondaryInfoCapacity = 256;
const int PortPageUdpCharacters = 39;
const int ForeignDeviceUdpCharacters = 6;
const int HostNameCapacity = 128;

// inet_addr, with the empty text that no address at all: Winsock versions
// differ there, and a missing remote BBMD must read as 255.255.255.255.
u_long AddressFromText(const char* text) { return text && *text ? inet_addr(text) : INADDR_NONE; }

// Dotted text of an address, "0.0.0.0" when none results.
void AddressToText(u_long address, char (&text)[AddressTextCapacity])
{
    in_addr in;
    in.s_addr = address;
    const char* dotted = inet_ntoa(in);
    CopyBdtText(text, dotted ? dotted : "0.0.0.0");
}

void ShowAddress(HWND page, int id, u_long address)
{
    char text[AddressTextCapacity];
    AddressToText(address, text);
    DialogItem(page, id).SetText(text);
}

u_long ReadAddress(HWND page, int id)
{
    char text[AddressTextCapacity];
    DialogItem(page, id).GetText(text, sizeof(text));
    return AddressFromText(text);
}

bool IsDefaultText(const char* text) { return strcmp(text, DefaultAddressText) == 0; }

}  // namespace

HostAddressesSnapshot* HostAddressesSnapshot::current = nullptr;

HostAddressesSnapshot::HostAddressesSnapshot()
    : addresses(HostAddresses::None()), taken(false), previous(current)
{
    current = this;
}

HostAddressesSnapshot::~HostAddressesSnapshot() { current = previous; }

HostAddresses::HostAddresses() : address(), count(0)
{
    HostAddressesSnapshot* snapshot = HostAddressesSnapshot::current;
    if (snapshot && snapshot->taken) {
        *this = snapshot->addresses;
        return;
    }
    Lookup();
    if (snapshot) {
        snapshot->addresses = *this;
        snapshot->taken = true;
    }
}

void HostAddresses::Lookup()
{
    char name[HostNameCapacity] = "";
    if (gethostname(name, sizeof(name)) != 0)
        return;
    name[sizeof(name) - 1] = '\0';
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || host->h_length != sizeof(u_long) || !host->h_addr_list)
        return;
    for (char** entry = host->h_addr_list; *entry && count < Capacity; ++entry)
        memcpy(&address[count++], *entry, sizeof(u_long));
}

bool HostAddresses::Contains(u_long candidate) const
{
    for (int i = 0; i < count; ++i)
        if (address[i] == candidate)
            return true;
    return false;
}

BipPort::BipPort() : PortWithDnet() { SetDefaults(); }

BipPort::BipPort(const RegKey& entry) : PortWithDnet(entry)
{
    char nic[AddressTextCapacity], info[SecondaryInfoCapacity];
    entry.ReadString(NicValue, nic, sizeof(nic), DefaultAddressText);
    entry.ReadString(SecondaryInfoValue, info, sizeof(info), "/UDP:0xBAC0");
    SetLocalAddressPort(nic[0] ? nic : DefaultAddressText, ParseUdpInfo(info));

    RegNamedReadKey bip(entry.Handle(), BipSubkey);
    bbmd = bip.ReadBool(BbmdValue, false);
    bdt.Load(bip);
    twoHopForwarding = bip.ReadBool(TwoHopsValue, true);
    char mask[AddressTextCapacity];
    bip.ReadString(SubnetMaskValue, mask, sizeof(mask), "");
    if (mask[0])
        subnetMask = AddressFromText(mask);
    else
        SetDefaultSubnetMask();
    fdtPresent = bip.ReadBool(FdtPresentValue, false);
    maxFdtEntries = int(bip.ReadDword(MaxFdtEntriesValue, DefaultMaxFdtEntries));
    foreignDevice = bip.ReadBool(ForeignDeviceValue, false);
    char remote[AddressTextCapacity];
    bip.ReadString(FdBbmdIpValue, remote, sizeof(remote), "");
    fdBbmdAddress = AddressFromText(remote);
    fdBbmdUdpPort = bip.ReadWord(FdBbmdUdpValue, WORD(DefaultUdpPort));
    fdTimeToLive = bip.ReadWord(FdTimeToLiveValue, DefaultFdTimeToLive);
}

// The controls of pages 503 and 504 hold no port id, attachment or network:
// the PortWithDnet part read from them is not used, as it belongs to the
// Port group alone.
BipPort::BipPort(HWND page) : PortWithDnet(page)
{
    SetDefaults();
    hasPortSettings = hasBbmdSettings = hasForeignDeviceSettings = 0;
    switch (PageId(page)) {
    case IDD_BIP_PORT_PAGE:
        hasPortSettings = 1;
        ReadPortPage(page);
        break;
    case IDD_BIP_BBMD_PAGE:
        hasBbmdSettings = 1;
        ReadBbmdPage(page);
        break;
    case IDD_BIP_FOREIGN_DEVICE_PAGE:
        hasForeignDeviceSettings = 1;
        ReadForeignDevicePage(page);
        break;
    }
}

BipPort::BipPort(const BipPort& other) : PortWithDnet()
{
    CopyFrom(other);
    hasPortSettings = other.hasPortSettings;
    hasBbmdSettings = other.hasBbmdSettings;
    hasForeignDeviceSettings = other.hasForeignDeviceSettings;
}

void BipPort::SetDefaults()
{
    SetLocalAddress(DefaultAddressText, DefaultUdpText);
    bbmd = 0;
    twoHopForwarding = 1;
    SetDefaultSubnetMask();
    bdt.Clear();
    fdtPresent = 0;
    maxFdtEntries = 0;
    foreignDevice = 0;
    fdBbmdAddress = 0;
    fdBbmdUdpPort = WORD(DefaultUdpPort);
    fdTimeToLive = DefaultFdTimeToLive;
}

void BipPort::ReadPortPage(HWND page)
{
    char address[AddressTextCapacity], udp[PortPageUdpCharacters + 1];
    DialogItem(page, IDC_BIP_ADDRESS).GetText(address, sizeof(address));
    DialogItem(page, IDC_BIP_UDP_PORT).GetText(udp, sizeof(udp));
    if (udp[0])
        SetLocalAddress(address, udp);
    else
        SetLocalAddressPort(address, DefaultUdpPort);
    subnetMask = ReadAddress(page, IDC_BIP_SUBNET_MASK);
}

void BipPort::ReadBbmdPage(HWND page)
{
    bdt.ReadListView(GetDlgItem(page, IDC_BIP_BDT_LIST));
    bbmd = DialogItem(page, IDC_BIP_BBMD).IsChecked();
    twoHopForwarding = DialogItem(page, IDC_BIP_TWO_HOPS).IsChecked();
    fdtPresent = DialogItem(page, IDC_BIP_FDT_ENABLE).IsChecked();
    BOOL number = FALSE;
    int entries = int(GetDlgItemInt(page, IDC_BIP_MAX_FDT_ENTRIES, &number, TRUE));
    maxFdtEntries = number ? entries : 0;
}

void BipPort::ReadForeignDevicePage(HWND page)
{
    DialogItem shown(page, IDC_BIP_FOREIGN_DEVICE);
    foreignDevice = (shown.IsEnabled() ? shown : DialogItem(page, IDC_BIP_STORED_FOREIGN_DEVICE)).IsChecked();
    fdBbmdAddress = ReadAddress(page, IDC_BIP_IP_ADDRESS);
    int32_t udp = 0;
    fdBbmdUdpPort =
        DialogItem(page, IDC_BIP_UDP_PORT).ScanNumber(ForeignDeviceUdpCharacters, udp) ? WORD(udp) : 0;
    fdTimeToLive = WORD(DialogItem(page, IDC_BIP_TIME_TO_LIVE).GetUnsigned());
}

void BipPort::SetLocalAddress(const char* addressText, const char* portText)
{
    CopyBdtText(nicText, addressText);
    localAddress.sin_family = AF_INET;
    localAddress.sin_addr.s_addr = IsDefaultText(nicText) ? 0 : AddressFromText(nicText);
    uint32_t port = ParseUdpPortText(portText);
    localAddress.sin_port = htons(u_short(port));
    FormatUdpInfo(port, secondaryInfo, sizeof(secondaryInfo));
}

void BipPort::SetLocalAddressPort(const char* addressText, DWORD port)
{
    char text[12];
    snprintf(text, sizeof(text), "%u", unsigned(ClampStoredUdpPort(port)));
    SetLocalAddress(addressText, text);
}

void BipPort::SetDefaultSubnetMask()
{
    u_long address = localAddress.sin_addr.s_addr ? localAddress.sin_addr.s_addr : HostAddresses().First();
    subnetMask = htonl(ClassfulMask(ntohl(address)));
}

bool BipPort::IsSameLocalAddress(const sockaddr_in& a, const sockaddr_in& b)
{
    if (a.sin_family != b.sin_family || a.sin_port != b.sin_port)
        return false;
    u_long first = (a.sin_addr.s_addr && b.sin_addr.s_addr) ? 0 : HostAddresses().First();
    return (a.sin_addr.s_addr ? a.sin_addr.s_addr : first) == (b.sin_addr.s_addr ? b.sin_addr.s_addr : first);
}

Port& BipPort::CopyFrom(const Port& other)
{
    const BipPort* bip = dynamic_cast<const BipPort*>(&other);
    if (!bip || bip == this)
        return *this;
    if (hasPortSettings && bip->hasPortSettings) {
        PortWithDnet::CopyFrom(other);
        localAddress = bip->localAddress;
        CopyBdtText(nicText, bip->nicText);
        CopyBdtText(secondaryInfo, bip->secondaryInfo);
        subnetMask = bip->subnetMask;
    }
    if (hasBbmdSettings && bip->hasBbmdSettings) {
        bbmd = bip->bbmd;
        twoHopForwarding = bip->twoHopForwarding;
        bdt.CopyFrom(bip->bdt);
        fdtPresent = bip->fdtPresent;
        maxFdtEntries = bip->maxFdtEntries;
    }
    if (hasForeignDeviceSettings && bip->hasForeignDeviceSettings) {
        foreignDevice = bip->foreignDevice;
        fdBbmdAddress = bip->fdBbmdAddress;
        fdBbmdUdpPort = bip->fdBbmdUdpPort;
        fdTimeToLive = bip->fdTimeToLive;
    }
    return *this;
}

bool BipPort::IsSamePort(const Port& other) const
{
    if (!hasPortSettings)
        return false;
    if (PortWithDnet::IsSamePort(other))
        return true;
    const BipPort* bip = dynamic_cast<const BipPort*>(&other);
    return bip && IsSameLocalAddress(localAddress, bip->localAddress);
}

bool BipPort::Save(const RegKey& entry) const
{
    if (hasPortSettings &&
        !(PortWithDnet::Save(entry) && entry.WriteString(NicValue, IsDefaultText(nicText) ? "" : nicText) &&
          entry.WriteString(SecondaryInfoValue, secondaryInfo)))
        return false;
    RegWriteKey bip(entry.Handle(), BipSubkey);
    return (!hasBbmdSettings || SaveBbmd(bip)) && (!hasForeignDeviceSettings || SaveForeignDevice(bip));
}

bool BipPort::SaveBbmd(const RegKey& bip) const
{
    char mask[AddressTextCapacity];
    AddressToText(subnetMask, mask);
    return bip.WriteBool(BbmdValue, bbmd) && bip.WriteBool(TwoHopsValue, twoHopForwarding) && bdt.Save(bip) &&
           bip.WriteString(SubnetMaskValue, mask) && bip.WriteBool(FdtPresentValue, fdtPresent) &&
           bip.WriteDword(MaxFdtEntriesValue, DWORD(maxFdtEntries));
}

bool BipPort::SaveForeignDevice(const RegKey& bip) const
{
    char remote[AddressTextCapacity];
    AddressToText(fdBbmdAddress, remote);
    return bip.WriteBool(ForeignDeviceValue, foreignDevice) && bip.WriteString(FdBbmdIpValue, remote) &&
           bip.WriteWord(FdBbmdUdpValue, fdBbmdUdpPort) && bip.WriteWord(FdTimeToLiveValue, fdTimeToLive);
}

Port* BipPort::CreateFromDialog(HWND page) const
{
    int id = PageId(page);
    if (id != IDD_BIP_PORT_PAGE && id != IDD_BIP_BBMD_PAGE && id != IDD_BIP_FOREIGN_DEVICE_PAGE)
        return nullptr;
    return new (std::nothrow) BipPort(page);
}

bool BipPort::Validate(int& controlId, int& messageId) const
{
    int control = 0, message = IDS_INVALID_FIELD;
    if (hasPortSettings) {
        if (!PortWithDnet::Validate(controlId, messageId))
            return false;
        if (!IsDefaultText(nicText) && !HostAddresses().Contains(localAddress.sin_addr.s_addr))
            control = IDC_BIP_ADDRESS;
        else if (localAddress.sin_port == 0)
            control = IDC_BIP_UDP_PORT;
        else if (subnetMask == 0)
            control = IDC_BIP_SUBNET_MASK;
    }
    if (!control && hasBbmdSettings && bbmd) {
        if (!bdt.Validate(message))
            control = IDC_BIP_BDT_LIST;
        else if (fdtPresent && maxFdtEntries < 1)
            control = IDC_BIP_MAX_FDT_ENTRIES;
    }
    if (!control && hasForeignDeviceSettings && foreignDevice) {
        if (fdBbmdAddress == 0 || fdBbmdAddress == INADDR_NONE)
            control = IDC_BIP_IP_ADDRESS;
        else if (fdBbmdUdpPort == 0)
            control = IDC_BIP_UDP_PORT;
    }
    if (!control)
        return true;
    controlId = control;
    messageId = message;
    return false;
}

void BipPort::InitDialog(HWND page) const
{
    switch (PageId(page)) {
    case IDD_BIP_PORT_PAGE:
        ShowPortPage(page);
        break;
    case IDD_BIP_BBMD_PAGE:
        ShowBbmdPage(page);
        break;
    case IDD_BIP_FOREIGN_DEVICE_PAGE:
        ShowForeignDevicePage(page);
        break;
    }
}

void BipPort::ShowPortPage(HWND page) const
{
    PortWithDnet::InitDialog(page);
    DialogItem(page, IDC_BIP_UDP_PORT).SetUnsigned(GetUdpPort());
    ComboBox addresses(page, IDC_BIP_ADDRESS);
    addresses.Clear();
    addresses.Add(DefaultAddressText);
    int selected = IsDefaultText(nicText) ? 0 : -1;
    HostAddresses host;
    for (int i = 0; i < host.count; ++i) {
        char text[AddressTextCapacity];
        AddressToText(host.address[i], text);
        int row = addresses.Add(text);
        if (selected != 0 && host.address[i] == localAddress.sin_addr.s_addr)
            selected = row;
    }
    addresses.Select(selected);
    ShowAddress(page, IDC_BIP_SUBNET_MASK, subnetMask);
}

void BipPort::ShowBbmdPage(HWND page) const
{
    DialogItem(page, IDC_BIP_BBMD).SetChecked(bbmd);
    DialogItem(page, IDC_BIP_TWO_HOPS).SetChecked(twoHopForwarding);
    HWND list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    bdt.FillListView(list);
    DialogItem(page, IDC_BIP_FDT_ENABLE).SetChecked(fdtPresent);
    SetDlgItemInt(page, IDC_BIP_MAX_FDT_ENTRIES, UINT(maxFdtEntries), TRUE);
    if (bdt.Count() > 0)
        SelectListItem(list, 0);
    ApplyBbmdPageRules(page);
}

void BipPort::ShowForeignDevicePage(HWND page) const
{
    bool asBbmd = hasBbmdSettings && bbmd;
    DialogItem(page, IDC_BIP_FOREIGN_DEVICE).SetChecked(foreignDevice && !asBbmd);
    DialogItem(page, IDC_BIP_STORED_FOREIGN_DEVICE).SetChecked(foreignDevice);
    DialogItem(page, IDC_BIP_PERMANENT).SetChecked(true);
    ShowAddress(page, IDC_BIP_IP_ADDRESS, fdBbmdAddress);
    DialogItem(page, IDC_BIP_UDP_PORT).SetUnsigned(fdBbmdUdpPort);
    DialogItem(page, IDC_BIP_TIME_TO_LIVE).SetUnsigned(fdTimeToLive);
    ApplyForeignDevicePageRules(page, !asBbmd);
}

DLGPROC BipPort::GetDialogProc() const { return BipPageProc; }
