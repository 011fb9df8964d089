// A BACnet/IP port: BACnet messages in UDP/IP datagrams. Besides what
// PortWithDnet provides it holds three groups of settings, one per page of
// its property sheet:
//   Port            the local address ("Default": the host's own), its UDP
//                   port and the local subnet mask;
//   BBMD            broadcast management: two-hop forwarding, the broadcast
//                   distribution table, the foreign device table;
//   Foreign Device  registration with a remote BBMD.
// A complete port has all three groups; a port built from one page has only
// that page's group, and is used only to be validated and copied into a
// complete one.
#pragma once
#include <winsock2.h>

#include "ports/kinds/bdt.h"
#include "ports/port.h"
#include "resource.h"

// The entry's values, and the subkey "Bip" with its own.
inline constexpr char BipSubkey[] = "Bip";
inline constexpr char BbmdValue[] = "Bbmd";
inline constexpr char TwoHopsValue[] = "Two_Hops";
inline constexpr char SubnetMaskValue[] = "This_Subnet_Mask";
inline constexpr char FdtPresentValue[] = "Fdt_Present";
inline constexpr char MaxFdtEntriesValue[] = "Max_Fdt_Entries";
inline constexpr char ForeignDeviceValue[] = "Foreign_Device";
inline constexpr char FdBbmdIpValue[] = "Fd_Bbmd_Ip";
inline constexpr char FdBbmdUdpValue[] = "Fd_Bbmd_Udp";
inline constexpr char FdTimeToLiveValue[] = "Fd_Time_To_Live";

// The address text that stands for the host's own address.
inline constexpr char DefaultAddressText[] = "Default";

// The IPv4 addresses (network byte order) the host's own name resolves to,
// in the resolver's order; none when it does not resolve.
struct HostAddresses {
    static constexpr int Capacity = 32;
    HostAddresses();
    // The first address, or 0 when there is none.
    u_long First() const { return count ? address[0] : 0; }
    bool Contains(u_long candidate) const;

    u_long address[Capacity];
    int count;

private:
    friend class HostAddressesSnapshot;
    struct None {};
    explicit HostAddresses(None) : address(), count(0) {}
    void Lookup();
};

// While one lives, the first HostAddresses built asks the resolver and every
// later one is a copy of that answer. A pass over the whole table compares
// every pair of entries, and a BACnet/IP entry on the "Default" address
// looks the host up in each comparison; the answer cannot change within one
// pass, which shows no message and runs no message loop.
class HostAddressesSnapshot {
public:
    HostAddressesSnapshot();
    ~HostAddressesSnapshot();
    HostAddressesSnapshot(const HostAddressesSnapshot&) = delete;
    HostAddressesSnapshot& operator=(const HostAddressesSnapshot&) = delete;

private:
    friend struct HostAddresses;
    static HostAddressesSnapshot* current;

    HostAddresses addresses;
    bool taken;
    HostAddressesSnapshot* previous;
};

class BipPort : public PortWithDnet {
public:
    BipPort();
    explicit BipPort(const RegKey& entry);
    // The page port of a property page, told apart by the page's window id.
    explicit BipPort(HWND page);
    // An exact copy, group flags and table included.
    BipPort(const BipPort& other);

    Port& CopyFrom(const Port& other) override;
    int GetType() const override { return PortTypePhysical; }
    int GetProtocol() const override { return 1; }
    int GetKind() const override { return KindBip; }
    bool IsSamePort(const Port& other) const override;
    bool Edit(HWND parent) override;
    const char* GetTypeName() const override { return "Physical"; }
    const char* GetProtocolName() const override { return "BACnet/IP"; }
    const char* GetNicText() const override { return nicText; }
    const char* GetSecondaryInfo() const override { return secondaryInfo; }
    bool Save(const RegKey& entry) const override;
    // A page port of one of the three pages; null for any other window.
    Port* CreateFromDialog(HWND page) const override;
    bool Validate(int& controlId, int& messageId) const override;
    void InitDialog(HWND page) const override;
    int GetDialogId() const override { return -1; }
    DLGPROC GetDialogProc() const override;

    static constexpr WORD DefaultFdTimeToLive = 1800;
    static constexpr DWORD DefaultMaxFdtEntries = 16;  // read when missing; a new port has 0

    // The address text ("Default" or dotted) and the "%i" port text; a port
    // outside 1..65535 becomes 0.
    void SetLocalAddress(const char* addressText, const char* portText);
    // The same with a number: 0 becomes 1, above 65535 becomes 65535.
    void SetLocalAddressPort(const char* addressText, DWORD port);
    // The mask of the local address's class, the host's first address
    // standing in for "Default".
    void SetDefaultSubnetMask();
    // Same family, UDP port and address, 0 being the host's first address.
    static bool IsSameLocalAddress(const sockaddr_in& a, const sockaddr_in& b);

    WORD GetUdpPort() const { return ntohs(localAddress.sin_port); }
    u_long GetAddress() const { return localAddress.sin_addr.s_addr; }
    u_long GetSubnetMask() const { return subnetMask; }
    bool IsBbmd() const { return bbmd != 0; }
    const Bdt& GetBdt() const { return bdt; }
    bool IsFdtPresent() const { return fdtPresent != 0; }
    int GetMaxFdtEntries() const { return maxFdtEntries; }
    bool IsForeignDevice() const { return foreignDevice != 0; }
    WORD GetFdBbmdUdpPort() const { return fdBbmdUdpPort; }
    WORD GetFdTimeToLive() const { return fdTimeToLive; }
    // The BBMD page clears the working copy's registration as soon as the
    // port is made a BBMD.
    void ClearForeignDevice() { foreignDevice = 0; }

private:
    void SetDefaults();
    void ReadPortPage(HWND page);
    void ReadBbmdPage(HWND page);
    void ReadForeignDevicePage(HWND page);
    void ShowPortPage(HWND page) const;
    void ShowBbmdPage(HWND page) const;
    void ShowForeignDevicePage(HWND page) const;
    bool SaveBbmd(const RegKey& bip) const;
    bool SaveForeignDevice(const RegKey& bip) const;

    BYTE hasPortSettings = 1;
    BYTE hasBbmdSettings = 1;
    BYTE hasForeignDeviceSettings = 1;
    sockaddr_in localAddress = {};
    char nicText[24] = "";
    char secondaryInfo[12] = "";
    BYTE bbmd = 0;
    BYTE twoHopForwarding = 1;
    u_long subnetMask = 0;
    Bdt bdt;
    BYTE fdtPresent = 0;
    int maxFdtEntries = 0;
    BYTE foreignDevice = 0;
    WORD fdBbmdUdpPort = WORD(DefaultUdpPort);
    u_long fdBbmdAddress = 0;
    WORD fdTimeToLive = DefaultFdTimeToLive;
};
