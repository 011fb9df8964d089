// The Ethernet port; the Platform suite checks its adapter on the platform it runs on.
#include <gtest/gtest.h>

#include "lifecycle/module.h"
#include "ports/kinds/ptp_values.h"
#include "support/platform.h"
#include "support/test_adapters.h"
#include "support/test_ports.h"

class PhysicalPortPlatform : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ExpectedPlatform() == platform && DetectPlatform()); }
    // The value the running platform must give.
    template <class T>
    T On(T win9x, T nt4, T nt5) const
    {
        return platform == TestPlatform::Win9x ? win9x : platform == TestPlatform::Nt4 ? nt4 : nt5;
    }
    static auto Load(const std::string& nic) { return ::Load<PhysicalPort>("Port=#3;Dnet=#7;Nic=" + nic); }

    const TestPlatform platform = RunningPlatform();
    RegistrySandbox linkage{HKEY_LOCAL_MACHINE, LinkagePath};
};

// NT 4.0 keeps a listed "Nic", else takes the first entry, a "Nic" too long
// for its buffer being none. An empty "Bind" lists nothing (NT 4.0 leaves the
// list enabled). "Default" is saved as the empty "Nic" before 2000, none after.
TEST_F(PhysicalPortPlatform, NicAndListFollowTheBindList)
{
    const std::string full(255, 'F'), tooLong(256, 'F');
    SetBind("A|B|" + full + "||");
    const std::pair<std::string, std::string> rows[] = {{"B", "B"}, {"", "A"}, {full, full}, {tooLong, "A"}};
    for (const auto& row : rows)
        EXPECT_EQ(On<std::string>("Default", row.second, "Default"), Load(row.first)->GetNicText())
            << row.first;
    DeleteTree(HKEY_LOCAL_MACHINE, LinkagePath);
    auto port = Load("0001");
    EXPECT_EQ("Default " + On<std::string>("s:", "s:", ""), port->GetNicText() + (" " + Saved(*port)["Nic"]));
    EXPECT_FALSE(port->Save(RegReadKey(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey")));
    SetBind("|");
    auto edited = Load("B");
    EXPECT_STREQ("Default", edited->GetNicText());
    EthernetDialog dialog(*edited);
    EXPECT_EQ(Strings{}, dialog.Rows());
    EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
    EXPECT_EQ(On<std::string>("Default", "", "Default"),
              std::unique_ptr<Port>(PhysicalPort().CreateFromDialog(dialog.window))->GetNicText());
}

// The list, its selection (the last equal "Bind" entry), the choice taken
// into the port by OK and saved; copies take the adapter of Ethernet ports only.
TEST_F(PhysicalPortPlatform, DialogAdaptersCopiesAndDuplicates)
{
    TestNetAdapter first{"ROOT\\NET\\7301", "First Adapter", "Net\\0007"};  // two adapters of the driver
    TestNetAdapter unbound{"ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008", "NETBEUI\\0000"};
    TestNetAdapter second{"ROOT\\NET\\7303", "Second Adapter", "Net\\0009"};
    SetBind("A|B|B||");
    auto port = Load(On("0009", "B", "B"));
    EXPECT_STREQ(On("0009", "B", "Default"), PhysicalPort().CopyFrom(*port).GetNicText());
    EthernetDialog dialog(*port);
    EXPECT_EQ(
        On<Strings>({"First Adapter/ROOT\\NET\\7301", "Second Adapter/ROOT\\NET\\7303"}, {"A", "B", "B"}, {}),
        dialog.Rows());
    EXPECT_EQ(On(1, 2, CB_ERR), dialog.Adapters().Selection());
    dialog.Adapters().Select(0);
    ASSERT_TRUE(HandlePortDialogOk(dialog.window));
    EXPECT_EQ(On<std::string>("0007 s:0007", "A s:A", "Default "),
              port->GetNicText() + (" " + Saved(*port)["Nic"]));
    EXPECT_STREQ("Default", port->CopyFrom(VirtualPort()).GetNicText());

    // Two Ethernet ports are the same port, an Ethernet and a virtual one not. The
    // adapter list of template 500 is not sorted, its rows matching the adapters.
    PhysicalPort one, two;
    two.SetPortId(2);
    EXPECT_EQ("10",
              std::to_string(two.IsSamePort(one)) + std::to_string(one.IsSamePort(VirtualPortWith(1, 10))));
    EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongA(EthernetDialog(one).Adapters().Window(), GWL_STYLE) & 0x103);
}
