// The Windows 95/98 adapter source, through Wine's real Setup API, called
// directly whatever the platform.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_9x.h"
#include "resource.h"
#include "support/test_adapters.h"

namespace {

typedef std::vector<std::string> Strings;

class Adapters9x : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_ETHERNET_PORT), nullptr, NoProc, 0);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override { DestroyWindow(dialog); }
    static INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    ComboBox List() const { return ComboBox(dialog, IDC_ADAPTER_LIST); }
    Strings Fill(const char* nic, bool any = true)
    {
        List().Clear();
        EXPECT_EQ(any, FillAdapterList9x(nic, List())) << "nic " << nic;
        return AdapterRows(dialog);
    }
    std::string Reconcile(const std::string& stored, bool expected)
    {
        char nic[NicCapacity];
        CopyNic(nic, sizeof(nic), stored.c_str());
        EXPECT_EQ(expected, ReconcileAdapter9x(nic)) << "stored " << stored;
        return nic;
    }
    std::string Choice(int row, bool expected)
    {
        char nic[NicCapacity] = "Default";
        List().Select(row);
        EXPECT_EQ(expected, ReadAdapterChoice9x(nic, dialog)) << "row " << row;
        return nic;
    }

    HWND dialog = nullptr;
};

}  // namespace

// Reconcile keeps a bound adapter, else takes the first; the list shows the
// bound adapters and selects the match; a choice gone meanwhile is no choice.
TEST_F(Adapters9x, BoundAdaptersAreReconciledListedAndChosen)
{
    ThreeAdapters adapters;
    const char* reconciled[][2] = {{"0009", "0009"}, {"0007", "0007"}, {"Default", "0007"},
                                   {"0008", "0007"}, {"0001", "0007"}, {"0009 ", "0007"}};
    for (const auto& row : reconciled)
        EXPECT_EQ(row[1], Reconcile(row[0], true));
    const Strings expected{"First Adapter/ROOT\\NET\\7301", "Second Adapter/ROOT\\NET\\7303"};
    const struct {
        const char* nic;
        int selection;
    } rows[] = {{"0009", 1}, {"0007", 0}, {"Default", CB_ERR}};
    for (const auto& row : rows) {
        EXPECT_EQ(expected, Fill(row.nic));
        EXPECT_EQ(row.selection, List().Selection()) << row.nic;
    }
    EXPECT_EQ("0009", Choice(1, true));
    List().Add("Vanished Adapter/ROOT\\NET\\7399");  // gone while the dialog was open
    EXPECT_EQ("Default", Choice(2, false));
}

TEST_F(Adapters9x, DisplayTextIsCutTo255Characters)
{
    TestNetAdapter longer("ROOT\\NET\\7301", std::string(300, 'd'), "Net\\0007");
    TestNetAdapter nearly("ROOT\\NET\\7302", std::string(250, 'e'), "Net\\0008");
    EXPECT_EQ((Strings{std::string(255, 'd'), std::string(250, 'e') + "/ROOT"}), Fill("0007"));
}

// Passed over, later adapters still counting: "Bindings" without a name that
// starts "VEMTO" in any case (one too long to read must not end the search),
// driver names leaving nothing behind "Net\" or not fitting 32 bytes.
TEST_F(Adapters9x, AdaptersNotBoundOrUnnamedArePassedOver)
{
    TestNetAdapter notBound("ROOT\\NET\\7300", "Not Bound", "Net\\0007", "NETBEUI\\0000");
    notBound.AddBinding("VEMT");
    notBound.AddBinding("VEMTO" + std::string(300, '0'));  // enumerated before "vEmTo..."
    TestNetAdapter shortName("ROOT\\NET\\7301", "Short", "Ne");
    TestNetAdapter prefixOnly("ROOT\\NET\\7302", "Prefix", "Net0");
    TestNetAdapter longName("ROOT\\NET\\7303", "Long", "Net\\" + std::string(28, '7'));
    EXPECT_EQ("0001", Reconcile("0001", false));
    EXPECT_EQ("", Reconcile("", false));
    EXPECT_TRUE(Fill("", false).empty());

    const std::string longest(27, '5');  // "Net\" and 27 characters fill 32 bytes with the NUL
    TestNetAdapter good("ROOT\\NET\\7304", "Good", "Net\\" + longest);
    EXPECT_EQ(longest, Reconcile("Default", true));
    EXPECT_EQ(Strings{"Good/ROOT\\NET\\7304"}, Fill(longest.c_str()));
    EXPECT_EQ(0, List().Selection());
    EXPECT_EQ(longest, Choice(0, true));
    notBound.AddBinding("vEmTo\\0003");
    EXPECT_EQ("0007", Reconcile("0001", true));
}
