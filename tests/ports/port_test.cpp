// The common fields: their texts, checks and copies, their registry values.
#include <gtest/gtest.h>

#include <string>

#include "ports/kinds/virtual_port.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"

namespace {

// "Port ID", "Attached" and "Network Num" as the list shows them.
std::string Texts(const Port& port)
{
    return std::string(port.GetPortIdText()) + " " + port.GetAttachedText() + " " + port.GetNetworkText();
}

}  // namespace

TEST(PortFields, TextsFollowTheirNumbersWithinFieldWidths)
{
    EXPECT_EQ("0 Yes 0", Texts(VirtualPort()));
    EXPECT_EQ("44 No 9029", Texts(VirtualPortWith(300, 0x12345, false))) << "8 and 16 bits";
    EXPECT_EQ("255 Yes 65535", Texts(VirtualPortWith(255, 65535)));
}

// Port number first, then the network range; outputs untouched on success.
TEST(PortFields, ValidatePortNumberFirstThenNetworkRange)
{
    const unsigned cases[][3] = {{0, 0, 510},     {0, 5, 510},   {12, 0, 512},
                                 {1, 65535, 512}, {1, 65534, 0}, {255, 1, 0}};
    for (const auto& c : cases) {
        int control = -1, message = -1;
        EXPECT_EQ(c[2] == 0, VirtualPortWith(c[0], c[1]).Validate(control, message)) << c[0] << "/" << c[1];
        EXPECT_EQ(c[2] ? int(c[2]) : -1, control);
        EXPECT_EQ(c[2] ? IDS_INVALID_FIELD : -1, message);
    }
}

TEST(PortFields, CopyFromKeepsNetworkOnlyBetweenPortsOfOneKind)
{
    VirtualPort same;
    EXPECT_EQ("9 No 77", Texts(same.CopyFrom(VirtualPortWith(9, 77, false))));
    FakePhysicalPort other;
    other.SetNetwork(5);
    EXPECT_EQ("9 No 0", Texts(other.CopyFrom(same)));
    FakePtpPort ptp;
    ptp.SetPortId(3);
    EXPECT_EQ("3 Yes 0", Texts(same.CopyFrom(ptp)));
}

// Missing values read as the defaults; a network number too wide to be
// valid is kept, to fail validation. Save writes every value; the first
// failed write fails it.
TEST(PortRegistry, LoadAndSave)
{
    RegistrySandbox sandbox;
    RegReadKey entry(HKEY_CURRENT_USER, sandbox.Path().c_str());
    EXPECT_EQ("0 Yes 0", Texts(VirtualPort(entry)));
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Dnet", 65535);
    EXPECT_EQ(65535, VirtualPort(entry).GetNetwork());

    ASSERT_TRUE(
        VirtualPortWith(200, 65534, false).Save(RegWriteKey(HKEY_CURRENT_USER, sandbox.Path().c_str())));
    const std::pair<const char*, DWORD> stored[] = {
        {"Connected", 0}, {"Dnet", 65534}, {"Port", 200}, {"Protocol", 0}, {"Type", 1}};
    EXPECT_EQ(5u, SortedValueNames(HKEY_CURRENT_USER, sandbox.Path()).size());
    for (const auto& v : stored)
        EXPECT_EQ(v.second, GetDword(HKEY_CURRENT_USER, sandbox.Path(), v.first)) << v.first;
    EXPECT_FALSE(FakePtpPort().Save(RegReadKey(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchEntry")));
}
