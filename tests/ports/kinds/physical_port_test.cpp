// The Ethernet port; the Platform suite checks its adapter as loaded, saved
// and edited on the platform the program runs on (95/98, NT 4.0, 2000 and on).
#include <gtest/gtest.h>

#include "lifecycle/module.h"
#include "ports/kinds/virtual_port.h"
#include "registry/reg_key.h"
#include "support/platform.h"
#include "support/test_adapters.h"

// Two Ethernet ports are the same port, an Ethernet and a virtual one not. Template
// 500: number-only port id, adapter list neither sorted nor typed into.
TEST(PhysicalPort, DuplicatesAndDialogTemplate)
{
    PhysicalPort first, second;
    VirtualPort other;
    first.SetPortId(1);
    first.SetNetwork(10);
    second.SetPortId(2);
    EXPECT_TRUE(second.IsSamePort(first));
    EXPECT_FALSE(first.IsSamePort(other));

    EthernetDialog dialog(first);  // its caption: AddAndEditGoThroughTheKindsDialog
    const DWORD controls[][3] = {{510, ES_NUMBER, ES_NUMBER},
                                 {512, ES_NUMBER, 0},
                                 {516, 3 | CBS_SORT, CBS_DROPDOWNLIST},
                                 {511, 0xF, BS_AUTOCHECKBOX}};
    for (const auto& c : controls)
        EXPECT_EQ(c[2], DWORD(GetWindowLongA(GetDlgItem(dialog.window, c[0]), GWL_STYLE)) & c[1]) << c[0];
}

class PhysicalPortPlatform : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ExpectedPlatform() == platform && DetectPlatform()); }
    // The value the running platform must give.
    template <class T>
    T On(T win9x, T nt4, T nt5) const
    {
        return platform == TestPlatform::Win9x ? win9x : platform == TestPlatform::Nt4 ? nt4 : nt5;
    }
    PhysicalPort Load(const std::string& nic)
    {
        SetDword(HKEY_CURRENT_USER, entry.Path(), "Port", 3);
        SetDword(HKEY_CURRENT_USER, entry.Path(), "Dnet", 7);
        SetString(HKEY_CURRENT_USER, entry.Path(), "Nic", nic);
        return PhysicalPort(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
    }
    // Saves port into a fresh key: its "Nic" with the terminator, or "(none)".
    std::string Saved(const PhysicalPort& port)
    {
        RegistrySandbox saved("TolmarinEthernetSaved");
        std::vector<BYTE> nic;
        EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
        if (!GetRaw(HKEY_CURRENT_USER, saved.Path(), "Nic", nullptr, &nic))
            return "(none)";
        return std::string(nic.begin(), nic.end());
    }

    const TestPlatform platform = RunningPlatform();
    RegistrySandbox entry{"TolmarinEthernetTest"};
    RegistrySandbox linkage{HKEY_LOCAL_MACHINE, LinkagePath};
};

// NT 4.0 keeps a listed "Nic", else takes the first entry, a "Nic" too long
// for its buffer being none. An empty "Bind" lists nothing but leaves the list
// enabled (NT 4.0); 95/98 with no adapter and 2000 disable the list.
// "Default" is saved as the empty "Nic" before 2000 and as none after.
TEST_F(PhysicalPortPlatform, NicAndListFollowTheBindList)
{
    const std::string full(255, 'F'), tooLong(256, 'F');
    SetBind("A|B|" + full + "||");
    const std::pair<std::string, std::string> rows[] = {{"B", "B"}, {"", "A"}, {full, full}, {tooLong, "A"}};
    for (const auto& row : rows)
        EXPECT_EQ(On<std::string>("Default", row.second, "Default"), Load(row.first).GetNicText())
            << row.first;

    DeleteTree(HKEY_LOCAL_MACHINE, LinkagePath);
    PhysicalPort port = Load("0001");
    EXPECT_STREQ("Default", port.GetNicText());
    EXPECT_EQ(On<std::string>({'\0'}, {'\0'}, "(none)"), Saved(port));
    EXPECT_FALSE(port.Save(RegReadKey(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey")));
    SetBind("|");
    EXPECT_STREQ("Default", Load("B").GetNicText());
    EthernetDialog dialog(port);
    EXPECT_TRUE(dialog.Rows().empty());
    EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
    EXPECT_EQ(On<std::string>("Default", "", "Default"), dialog.ChosenNic());
}

// The list, its selection (the last equal "Bind" entry), the choice taken
// into the port by OK and saved; copies take the adapter of Ethernet ports only.
TEST_F(PhysicalPortPlatform, DialogListsTheAdaptersOfThePlatform)
{
    ThreeAdapters adapters;
    SetBind("A|B|B||");
    PhysicalPort port = Load(On("0009", "B", "B"));
    EXPECT_STREQ(On("0009", "B", "Default"), PhysicalPort().CopyFrom(port).GetNicText());
    EthernetDialog dialog(port);
    EXPECT_EQ(
        On<Strings>({"First Adapter/ROOT\\NET\\7301", "Second Adapter/ROOT\\NET\\7303"}, {"A", "B", "B"}, {}),
        dialog.Rows());
    EXPECT_EQ(On(1, 2, CB_ERR), dialog.Adapters().Selection());
    EXPECT_EQ(On(true, true, false), dialog.Adapters().IsEnabled());
    dialog.Adapters().Select(0);
    ASSERT_TRUE(HandlePortDialogOk(dialog.window));
    EXPECT_STREQ(On("0007", "A", "Default"), port.GetNicText());
    EXPECT_EQ(On<std::string>({'0', '0', '0', '7', '\0'}, {'A', '\0'}, "(none)"), Saved(port));
    EXPECT_STREQ("Default", port.CopyFrom(VirtualPort()).GetNicText());
}
