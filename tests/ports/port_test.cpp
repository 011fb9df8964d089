#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"

namespace {

struct EntryKey {
    RegistrySandbox sandbox;
    RegWriteKey key{HKEY_CURRENT_USER, sandbox.Path().c_str()};
    void Set(const char* name, DWORD value) { SetDword(HKEY_CURRENT_USER, sandbox.Path(), name, value); }
    DWORD Get(const char* name) { return GetDword(HKEY_CURRENT_USER, sandbox.Path(), name); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Texts kept in step with their numbers

TEST(PortTexts, DefaultsShowZeroYesZero)
{
    VirtualPort port;
    EXPECT_STREQ("0", port.GetPortIdText());
    EXPECT_STREQ("Yes", port.GetAttachedText());
    EXPECT_STREQ("0", port.GetNetworkText());
    EXPECT_EQ(0, port.GetPortId());
    EXPECT_TRUE(port.IsAttached());
}

TEST(PortTexts, SettersTruncateToFieldWidth)
{
    VirtualPort port;
    port.SetPortId(300);
    EXPECT_EQ(44, port.GetPortId());
    EXPECT_STREQ("44", port.GetPortIdText());
    port.SetPortId(255);
    EXPECT_STREQ("255", port.GetPortIdText());
    port.SetNetwork(0x12345);
    EXPECT_EQ(0x2345, port.GetNetwork());
    EXPECT_STREQ("9029", port.GetNetworkText());
    port.SetNetwork(65535);
    EXPECT_STREQ("65535", port.GetNetworkText());
    port.SetAttached(false);
    EXPECT_STREQ("No", port.GetAttachedText());
    port.SetAttached(true);
    EXPECT_STREQ("Yes", port.GetAttachedText());
}

TEST(PortTexts, VirtualPortAnswers)
{
    VirtualPort port;
    EXPECT_EQ(1, port.GetType());
    EXPECT_EQ(0, port.GetProtocol());
    EXPECT_EQ(1, port.GetKind());
    EXPECT_STREQ("Virtual", port.GetTypeName());
    EXPECT_STREQ("n/a", port.GetProtocolName());
    EXPECT_STREQ("n/a", port.GetNicText());
    EXPECT_STREQ("n/a", port.GetSecondaryInfo());
    EXPECT_EQ(501, port.GetDialogId());
}

// ---------------------------------------------------------------------------
// Validation of the common fields

TEST(PortValidate, PortNumberFirstThenNetwork)
{
    VirtualPort port;
    int control = -1, message = -1;
    EXPECT_FALSE(port.Validate(control, message));
    EXPECT_EQ(IDC_PORT_ID, control);
    EXPECT_EQ(IDS_INVALID_FIELD, message);
    EXPECT_FALSE(port.IsValid());

    port.SetNetwork(5);
    control = message = -1;
    EXPECT_FALSE(port.Validate(control, message));
    EXPECT_EQ(510, control);

    port.SetPortId(12);
    port.SetNetwork(0);
    EXPECT_FALSE(port.Validate(control, message));
    EXPECT_EQ(512, control);
    EXPECT_EQ(145, message);
}

TEST(PortValidate, NetworkRangeAndUntouchedOutputsOnSuccess)
{
    VirtualPort port;
    port.SetPortId(1);
    port.SetNetwork(65535);
    EXPECT_FALSE(port.IsValid());
    port.SetNetwork(65534);
    int control = -7, message = -9;
    EXPECT_TRUE(port.Validate(control, message));
    EXPECT_EQ(-7, control);
    EXPECT_EQ(-9, message);
    port.SetNetwork(1);
    EXPECT_TRUE(port.IsValid());
}

TEST(PortValidate, PortWithoutNetworkChecksPortNumberOnly)
{
    FakePtpPort ptp;
    EXPECT_FALSE(ptp.IsValid());
    ptp.SetPortId(1);
    EXPECT_TRUE(ptp.IsValid());
}

// ---------------------------------------------------------------------------
// Copy and comparison

TEST(PortCopy, SameKindCopiesNetworkOtherKindClearsIt)
{
    VirtualPort source;
    source.SetPortId(9);
    source.SetAttached(false);
    source.SetNetwork(77);

    VirtualPort same;
    same.CopyFrom(source);
    EXPECT_EQ(9, same.GetPortId());
    EXPECT_STREQ("9", same.GetPortIdText());
    EXPECT_FALSE(same.IsAttached());
    EXPECT_STREQ("No", same.GetAttachedText());
    EXPECT_EQ(77, same.GetNetwork());
    EXPECT_STREQ("77", same.GetNetworkText());

    FakePhysicalPort other;
    other.SetNetwork(5);
    other.CopyFrom(source);
    EXPECT_EQ(9, other.GetPortId());
    EXPECT_EQ(0, other.GetNetwork());
    EXPECT_STREQ("0", other.GetNetworkText());

    // From a kind without a network number.
    FakePtpPort ptp;
    ptp.SetPortId(3);
    same.CopyFrom(ptp);
    EXPECT_EQ(3, same.GetPortId());
    EXPECT_EQ(0, same.GetNetwork());
}

TEST(PortCopy, SamePortByNumberOrNetwork)
{
    VirtualPort a, b;
    a.SetPortId(1);
    a.SetNetwork(10);
    b.SetPortId(2);
    b.SetNetwork(10);
    EXPECT_TRUE(a.IsSamePort(b));
    EXPECT_TRUE(b.IsSamePort(a));
    b.SetNetwork(11);
    EXPECT_FALSE(a.IsSamePort(b));
    b.SetPortId(1);
    EXPECT_TRUE(a.IsSamePort(b));

    // A network number matches across kinds with a network number.
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

// ---------------------------------------------------------------------------
// Registry

TEST(PortRegistry, MissingValuesReadAsDefaults)
{
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchEntry");
    VirtualPort port(absent);
    EXPECT_EQ(0, port.GetPortId());
    EXPECT_TRUE(port.IsAttached());
    EXPECT_EQ(0, port.GetNetwork());
    EXPECT_STREQ("0", port.GetNetworkText());
}

TEST(PortRegistry, StoredValuesAreNarrowedOnLoad)
{
    EntryKey entry;
    entry.Set("Port", 0x1FF);
    entry.Set("Connected", 0x100);
    entry.Set("Dnet", 0x10007);
    VirtualPort port(entry.key);
    EXPECT_EQ(255, port.GetPortId());
    EXPECT_STREQ("255", port.GetPortIdText());
    EXPECT_TRUE(port.IsAttached());
    EXPECT_EQ(7, port.GetNetwork());

    entry.Set("Connected", 0);
    entry.Set("Dnet", 65535);
    VirtualPort other(entry.key);
    EXPECT_FALSE(other.IsAttached());
    EXPECT_EQ(65535, other.GetNetwork());
    EXPECT_FALSE(other.IsValid());
}

TEST(PortRegistry, SaveWritesDwordsInOrder)
{
    EntryKey entry;
    VirtualPort port;
    port.SetPortId(200);
    port.SetAttached(false);
    port.SetNetwork(65534);
    ASSERT_TRUE(port.Save(entry.key));
    // Enumeration order is the registry's own (sorted by name under Wine).
    std::vector<std::string> expected{"Connected", "Dnet", "Port", "Protocol", "Type"};
    EXPECT_EQ(expected, SortedValueNames(HKEY_CURRENT_USER, entry.sandbox.Path()));
    EXPECT_EQ(65534u, entry.Get("Dnet"));
    EXPECT_EQ(1u, entry.Get("Type"));
    EXPECT_EQ(0u, entry.Get("Protocol"));
    EXPECT_EQ(200u, entry.Get("Port"));
    EXPECT_EQ(0u, entry.Get("Connected"));
    for (const std::string& name : expected) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, entry.sandbox.Path(), name.c_str(), &type, &data);
        EXPECT_EQ(DWORD(REG_DWORD), type) << name;
    }
}

TEST(PortRegistry, SaveToUnopenedKeyFails)
{
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchEntry");
    VirtualPort port;
    EXPECT_FALSE(port.Save(absent));
    FakePtpPort ptp;
    EXPECT_FALSE(ptp.Save(absent));
}
