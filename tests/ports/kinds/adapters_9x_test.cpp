// The Windows 95/98 adapter source, through Wine's real Setup API, called
// directly whatever the platform.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_9x.h"
#include "support/test_adapters.h"

class Adapters9x : public ::testing::Test {
protected:
    Strings Fill(const char* nic, bool any = true)
    {
        dialog.Adapters().Clear();
        EXPECT_EQ(any, FillAdapterList9x(nic, dialog.Adapters())) << "nic " << nic;
        return dialog.Rows();
    }
    std::string Reconcile(const char* stored, bool expected)
    {
        char nic[NicCapacity];
        CopyNic(nic, sizeof(nic), stored);
        EXPECT_EQ(expected, ReconcileAdapter9x(nic)) << "stored " << stored;
        return nic;
    }
    std::string Choice(int row, bool expected)
    {
        char nic[NicCapacity] = "Default";
        dialog.Adapters().Select(row);
        EXPECT_EQ(expected, ReadAdapterChoice9x(nic, dialog.window)) << "row " << row;
        return nic;
    }

    PhysicalPort port;
    EthernetDialog dialog{port};
};

// Reconcile keeps a bound adapter of exactly that name, else takes the first;
// the list selects nothing for no match; a choice gone meanwhile is no choice.
// (The Platform suite lists, selects and chooses the adapters found.)
TEST_F(Adapters9x, BoundAdaptersAreReconciledListedAndChosen)
{
    ThreeAdapters adapters;
    for (const char* stored : {"Default", "0008", "0009 "})
        EXPECT_EQ("0007", Reconcile(stored, true));
    Fill("Default");
    EXPECT_EQ(CB_ERR, dialog.Adapters().Selection());
    dialog.Adapters().Add("Vanished Adapter/ROOT\\NET\\7399");
    EXPECT_EQ("Default", Choice(2, false));
}

// Passed over, later adapters still counting: "Bindings" without a name that
// starts "VEMTO" in any case (one too long to read must not end the search),
// driver names leaving nothing behind "Net\" or not fitting 32 bytes. Rows
// "<description>/<instance id>" are cut to 255 characters, not overflowed.
TEST_F(Adapters9x, AdaptersNotBoundOrUnnamedArePassedOver)
{
    TestNetAdapter notBound("ROOT\\NET\\7300", "Not Bound", "Net\\0007", "NETBEUI\\0000");
    notBound.AddBinding("VEMT");
    notBound.AddBinding("VEMTO" + std::string(300, '0'));  // enumerated before "vEmTo..."
    TestNetAdapter shortName("ROOT\\NET\\7301", "Short", "Ne");
    TestNetAdapter prefixOnly("ROOT\\NET\\7302", "Prefix", "Net0");
    TestNetAdapter longName("ROOT\\NET\\7303", "Long", "Net\\" + std::string(28, '7'));
    EXPECT_EQ("0001", Reconcile("0001", false));
    EXPECT_TRUE(Fill("", false).empty());

    const std::string longest(27, '5');  // "Net\", 27 characters and the NUL fill 32 bytes
    TestNetAdapter good("ROOT\\NET\\7304", std::string(250, 'e'), "Net\\" + longest);
    TestNetAdapter longer("ROOT\\NET\\7305", std::string(300, 'd'), "Net\\0005");
    EXPECT_EQ(longest, Reconcile("Default", true));
    EXPECT_EQ((Strings{std::string(250, 'e') + "/ROOT", std::string(255, 'd')}), Fill(longest.c_str()));
    EXPECT_EQ(longest, Choice(0, true));
    notBound.AddBinding("vEmTo\\0003");
    EXPECT_EQ("0007", Reconcile("0001", true));
}
