#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"

namespace {

VirtualPort* MakeVirtual(VirtualPort& port, unsigned id, unsigned network, bool attached = true)
{
    port.SetPortId(id);
    port.SetNetwork(network);
    port.SetAttached(attached);
    return &port;
}

}  // namespace

TEST(PortFields, TextsFollowTheirNumbersWithinFieldWidths)
{
    VirtualPort port;
    EXPECT_STREQ("0", port.GetPortIdText());
    EXPECT_STREQ("Yes", port.GetAttachedText());
    EXPECT_STREQ("0", port.GetNetworkText());
    MakeVirtual(port, 300, 0x12345, false);
    EXPECT_EQ(44, port.GetPortId()) << "8 bits";
    EXPECT_STREQ("44", port.GetPortIdText());
    EXPECT_EQ(0x2345, port.GetNetwork()) << "16 bits";
    EXPECT_STREQ("9029", port.GetNetworkText());
    EXPECT_STREQ("No", port.GetAttachedText());
    MakeVirtual(port, 255, 65535);
    EXPECT_STREQ("255", port.GetPortIdText());
    EXPECT_STREQ("65535", port.GetNetworkText());
    EXPECT_STREQ("Virtual", port.GetTypeName());
    EXPECT_STREQ("n/a", port.GetProtocolName());
    EXPECT_STREQ("n/a", port.GetNicText());
    EXPECT_STREQ("n/a", port.GetSecondaryInfo());
}

TEST(PortFields, ValidatePortNumberFirstThenNetworkRange)
{
    const struct {
        unsigned id, network;
        int control;  // 0: valid
    } cases[] = {{0, 0, 510}, {0, 5, 510}, {12, 0, 512}, {1, 65535, 512}, {1, 65534, 0}, {255, 1, 0}};
    for (const auto& c : cases) {
        VirtualPort port;
        MakeVirtual(port, c.id, c.network);
        int control = -7, message = -9;
        EXPECT_EQ(c.control == 0, port.Validate(control, message)) << c.id << "/" << c.network;
        EXPECT_EQ(c.control == 0 ? -7 : c.control, control) << "outputs untouched on success";
        EXPECT_EQ(c.control == 0 ? -9 : IDS_INVALID_FIELD, message);
        EXPECT_EQ(c.control == 0, port.IsValid());
    }
    FakePtpPort ptp;
    EXPECT_FALSE(ptp.IsValid());
    ptp.SetPortId(1);
    EXPECT_TRUE(ptp.IsValid()) << "no network number to check";
}

TEST(PortFields, CopyFromKeepsNetworkOnlyBetweenPortsOfOneKind)
{
    VirtualPort source, same;
    MakeVirtual(source, 9, 77, false);
    same.CopyFrom(source);
    EXPECT_STREQ("9", same.GetPortIdText());
    EXPECT_STREQ("No", same.GetAttachedText());
    EXPECT_STREQ("77", same.GetNetworkText());

    FakePhysicalPort other;
    other.SetNetwork(5);
    other.CopyFrom(source);
    EXPECT_EQ(9, other.GetPortId());
    EXPECT_STREQ("0", other.GetNetworkText());

    FakePtpPort ptp;
    ptp.SetPortId(3);
    same.CopyFrom(ptp);
    EXPECT_EQ(3, same.GetPortId());
    EXPECT_EQ(0, same.GetNetwork());
}

TEST(PortFields, SamePortByNumberOrByNetworkAcrossNetworkKinds)
{
    VirtualPort a, b;
    MakeVirtual(a, 1, 10);
    EXPECT_TRUE(a.IsSamePort(*MakeVirtual(b, 2, 10))) << "same network, other port number";
    EXPECT_FALSE(a.IsSamePort(*MakeVirtual(b, 2, 11)));
    EXPECT_TRUE(a.IsSamePort(*MakeVirtual(b, 1, 11)));
    FakePhysicalPort physical;
    physical.SetPortId(7);
    physical.SetNetwork(10);
    EXPECT_TRUE(a.IsSamePort(physical));
    // Against a kind without a network number only the port number counts,
    // whichever side asks.
    FakePtpPort ptp;
    ptp.SetPortId(2);
    EXPECT_FALSE(a.IsSamePort(ptp));
    EXPECT_FALSE(ptp.IsSamePort(a));
    ptp.SetPortId(1);
    EXPECT_TRUE(a.IsSamePort(ptp));
    EXPECT_TRUE(ptp.IsSamePort(a));
}

TEST(PortRegistry, LoadNarrowsStoredValuesAndDefaultsMissingOnes)
{
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchEntry");
    VirtualPort defaults(absent);
    EXPECT_EQ(0, defaults.GetPortId());
    EXPECT_TRUE(defaults.IsAttached());
    EXPECT_EQ(0, defaults.GetNetwork());

    RegistrySandbox sandbox;
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Port", 0x1FF);
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Connected", 0x100);
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Dnet", 0x10007);
    RegReadKey entry(HKEY_CURRENT_USER, sandbox.Path().c_str());
    VirtualPort port(entry);
    EXPECT_STREQ("255", port.GetPortIdText());
    EXPECT_TRUE(port.IsAttached()) << "any non-zero value";
    EXPECT_STREQ("7", port.GetNetworkText());
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Dnet", 65535);
    VirtualPort wide(entry);
    EXPECT_EQ(65535, wide.GetNetwork()) << "kept, to fail validation";
}

TEST(PortRegistry, SaveWritesEveryValueAsDwordAndFailsOnAClosedKey)
{
    RegistrySandbox sandbox;
    {
        RegWriteKey entry(HKEY_CURRENT_USER, sandbox.Path().c_str());
        VirtualPort port;
        ASSERT_TRUE(MakeVirtual(port, 200, 65534, false)->Save(entry));
    }
    const struct {
        const char* name;
        DWORD value;
    } stored[] = {{"Connected", 0}, {"Dnet", 65534}, {"Port", 200}, {"Protocol", 0}, {"Type", 1}};
    EXPECT_EQ(5u, SortedValueNames(HKEY_CURRENT_USER, sandbox.Path()).size());
    for (const auto& v : stored) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, sandbox.Path(), v.name, &type, &data);
        EXPECT_EQ(DWORD(REG_DWORD), type) << v.name;
        EXPECT_EQ(v.value, GetDword(HKEY_CURRENT_USER, sandbox.Path(), v.name)) << v.name;
    }
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchEntry");
    EXPECT_FALSE(VirtualPort().Save(absent));
    EXPECT_FALSE(FakePtpPort().Save(absent));
}
