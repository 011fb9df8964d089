// The Windows 95/98 adapter source, through Wine's real Setup API: adapters
// are registered by the tests and bound by a "Bindings" value of their
// driver key. These suites call the helpers directly, whatever the platform.
#include <gtest/gtest.h>

#include <string.h>

#include "ports/kinds/adapters_9x.h"
#include "resource.h"
#include "support/test_adapters.h"

namespace {

class Adapters9x : public ::testing::Test {
protected:
    // A dialog that holds the adapter list, control 516.
    void SetUp() override
    {
        dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_ETHERNET_PORT), nullptr,
                                    EmptyDialogProc, 0);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override { DestroyWindow(dialog); }

    static INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    ComboBox List() const { return ComboBox(dialog, IDC_ADAPTER_LIST); }
    std::string Row(int index) const
    {
        char text[512] = "";
        List().Send(CB_GETLBTEXT, WPARAM(index), LPARAM(text));
        return text;
    }

    // Fills the list for nic and answers the rows.
    std::vector<std::string> Fill(const char* nic, bool expectAny = true)
    {
        List().Clear();
        EXPECT_EQ(expectAny, FillAdapterList9x(nic, List())) << "nic " << nic;
        std::vector<std::string> rows;
        for (int i = 0; i < List().Count(); ++i)
            rows.push_back(Row(i));
        return rows;
    }

    std::string Reconcile(const char* stored, bool expected)
    {
        char nic[NicCapacity];
        strcpy(nic, stored);
        EXPECT_EQ(expected, ReconcileAdapter9x(nic)) << "stored " << stored;
        return nic;
    }

    HWND dialog = nullptr;
};

}  // namespace

TEST_F(Adapters9x, NothingBoundLeavesNicAndListAlone)
{
    TestNetAdapter unbound("ROOT\\NET\\7301", "Unbound Adapter", "Net\\0007");
    ASSERT_TRUE(unbound.Ready());
    unbound.AddBinding("NETBEUI\\0000");
    unbound.AddBinding("VEMT");  // too short to name the driver
    EXPECT_EQ("0001", Reconcile("0001", false));
    EXPECT_TRUE(Fill("0007", false).empty());
}

TEST_F(Adapters9x, BindingNameIsMatchedByPrefixInAnyCase)
{
    TestNetAdapter adapter("ROOT\\NET\\7301", "Lower Case Binding", "Net\\0007");
    ASSERT_TRUE(adapter.Ready());
    adapter.AddBinding("NETBEUI\\0000");
    adapter.AddBinding("vEmTo\\0003");
    EXPECT_EQ("0007", Reconcile("Default", true));
}

TEST_F(Adapters9x, OverlongBindingNameDoesNotHideTheNextOne)
{
    TestNetAdapter adapter("ROOT\\NET\\7301", "Adapter", "Net\\0007");
    ASSERT_TRUE(adapter.Ready());
    adapter.AddBinding("VEMTO" + std::string(300, 'x'));  // cannot be read in 260 characters
    EXPECT_EQ("Default", Reconcile("Default", false));
    adapter.AddBinding("VEMTO\\0000");
    EXPECT_EQ("0007", Reconcile("Default", true));
}

TEST_F(Adapters9x, ReconcileKeepsABoundAdapterElseTakesTheFirst)
{
    TestNetAdapter first("ROOT\\NET\\7301", "First Adapter", "Net\\0007");
    TestNetAdapter unbound("ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008");
    TestNetAdapter second("ROOT\\NET\\7303", "Second Adapter", "Net\\0009");
    ASSERT_TRUE(first.Ready() && unbound.Ready() && second.Ready());
    first.AddBinding("VEMTO\\0000");
    second.AddBinding("VEMTO\\0001");

    EXPECT_EQ("0009", Reconcile("0009", true));
    EXPECT_EQ("0007", Reconcile("0007", true));
    EXPECT_EQ("0007", Reconcile("Default", true));
    EXPECT_EQ("0007", Reconcile("0008", true)) << "an adapter not bound is not kept";
    EXPECT_EQ("0007", Reconcile("0001", true)) << "a vanished adapter is replaced";
    EXPECT_EQ("0007", Reconcile("0009 ", true)) << "names are compared exactly";
}

TEST_F(Adapters9x, ListShowsDescriptionAndInstanceIdAndSelectsTheMatch)
{
    TestNetAdapter first("ROOT\\NET\\7301", "First Adapter", "Net\\0007");
    TestNetAdapter unbound("ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008");
    TestNetAdapter second("ROOT\\NET\\7303", "Second Adapter", "Net\\0009");
    ASSERT_TRUE(first.Ready() && unbound.Ready() && second.Ready());
    first.AddBinding("VEMTO\\0000");
    second.AddBinding("VEMTO\\0001");

    std::vector<std::string> expected = {"First Adapter/ROOT\\NET\\7301",
                                         "Second Adapter/ROOT\\NET\\7303"};
    EXPECT_EQ(expected, Fill("0009"));
    EXPECT_EQ(1, List().Selection());
    EXPECT_EQ(expected, Fill("0007"));
    EXPECT_EQ(0, List().Selection());
    EXPECT_EQ(expected, Fill("Default"));
    EXPECT_EQ(CB_ERR, List().Selection());
}

TEST_F(Adapters9x, LongDescriptionIsCutTo255Characters)
{
    std::string description(300, 'd');
    TestNetAdapter adapter("ROOT\\NET\\7301", description, "Net\\0007");
    ASSERT_TRUE(adapter.Ready());
    adapter.AddBinding("VEMTO\\0000");
    std::vector<std::string> rows = Fill("0007");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(std::string(255, 'd'), rows[0]) << "no room is left for the instance id";

    TestNetAdapter nearly("ROOT\\NET\\7302", std::string(250, 'e'), "Net\\0008");
    ASSERT_TRUE(nearly.Ready());
    nearly.AddBinding("VEMTO\\0001");
    rows = Fill("0007");
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(std::string(250, 'e') + "/ROOT", rows[1]);
}

TEST_F(Adapters9x, ChoiceIsTheNameAtTheSelectedPosition)
{
    TestNetAdapter first("ROOT\\NET\\7301", "First Adapter", "Net\\0007");
    TestNetAdapter unbound("ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008");
    TestNetAdapter second("ROOT\\NET\\7303", "Second Adapter", "Net\\0009");
    ASSERT_TRUE(first.Ready() && unbound.Ready() && second.Ready());
    first.AddBinding("VEMTO\\0000");
    second.AddBinding("VEMTO\\0001");
    Fill("Default");

    char nic[NicCapacity] = "Default";
    List().Select(1);
    EXPECT_TRUE(ReadAdapterChoice9x(nic, dialog));
    EXPECT_STREQ("0009", nic);
    List().Select(0);
    EXPECT_TRUE(ReadAdapterChoice9x(nic, dialog));
    EXPECT_STREQ("0007", nic);

    strcpy(nic, "Default");
    List().Select(-1);
    EXPECT_FALSE(ReadAdapterChoice9x(nic, dialog));
    EXPECT_STREQ("Default", nic);

    // The adapter chosen went away while the dialog was open.
    List().Add("Vanished Adapter/ROOT\\NET\\7399");
    List().Select(2);
    EXPECT_FALSE(ReadAdapterChoice9x(nic, dialog));
    EXPECT_STREQ("Default", nic);
}

// Driver key names that leave no adapter name behind the four characters of
// the class prefix, or that do not fit 32 bytes, cannot name an adapter:
// such adapters are passed over, and the adapters after them still count.
TEST_F(Adapters9x, UnreadableDriverNamesArePassedOver)
{
    TestNetAdapter shortName("ROOT\\NET\\7301", "Short Name", "Ne");
    TestNetAdapter prefixOnly("ROOT\\NET\\7302", "Prefix Only", "Net0");
    TestNetAdapter longName("ROOT\\NET\\7303", "Long Name", "Net\\" + std::string(28, '7'));
    ASSERT_TRUE(shortName.Ready() && prefixOnly.Ready() && longName.Ready());
    shortName.AddBinding("VEMTO\\0000");
    prefixOnly.AddBinding("VEMTO\\0001");
    longName.AddBinding("VEMTO\\0002");

    EXPECT_EQ("Default", Reconcile("Default", false));
    EXPECT_EQ("", Reconcile("", false));
    EXPECT_TRUE(Fill("", false).empty());

    TestNetAdapter good("ROOT\\NET\\7304", "Good Adapter", "Net\\0009");
    ASSERT_TRUE(good.Ready());
    good.AddBinding("VEMTO\\0003");
    EXPECT_EQ("0009", Reconcile("Default", true));
    EXPECT_EQ(std::vector<std::string>{"Good Adapter/ROOT\\NET\\7304"}, Fill("0009"));
    EXPECT_EQ(0, List().Selection());
    char nic[NicCapacity] = "Default";
    EXPECT_TRUE(ReadAdapterChoice9x(nic, dialog));
    EXPECT_STREQ("0009", nic);
}

TEST_F(Adapters9x, LongestDriverNameThatFitsIsRead)
{
    // 31 characters and the NUL fill the 32 bytes exactly.
    std::string driver = "Net\\" + std::string(27, '5');
    TestNetAdapter adapter("ROOT\\NET\\7301", "Adapter", driver);
    ASSERT_TRUE(adapter.Ready());
    adapter.AddBinding("VEMTO\\0000");
    EXPECT_EQ(std::string(27, '5'), Reconcile("Default", true));
}
