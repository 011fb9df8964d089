// The Windows 95/98 adapter source through Wine's Setup API, called whatever the platform.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_9x.h"
#include "support/test_adapters.h"

class Adapters9x : public ::testing::Test {
protected:
    // What reconciling makes of a stored nic, "!" before it when refused.
    std::string Reconcile(const char* stored)
    {
        char nic[NicCapacity];
        CopyNic(nic, sizeof(nic), stored);
        bool kept = ReconcileAdapter9x(nic);
        return (kept ? "" : "!") + std::string(nic);
    }
    // The list filled for nic, and the adapter chosen in row ("!" first when none).
    Strings FillAndChoose(const char* nic, int row)
    {
        dialog.Adapters().Clear();
        FillAdapterList9x(nic, dialog.Adapters());
        Strings rows = dialog.Rows();
        char chosen[NicCapacity] = "Default";
        dialog.Adapters().Select(row);
        bool chose = ReadAdapterChoice9x(chosen, dialog.window);
        rows.push_back((chose ? "" : "!") + std::string(chosen));
        return rows;
    }

    PhysicalPort port;
    EthernetDialog dialog{port};
};

// Passed over, later ones still counting: "Bindings" without a name starting "VEMTO" in any case (one
// too long to read must not end the search), driver names empty behind "Net\" or over 32 bytes. Rows
// "<description>/<instance id>" are cut to 255 characters.
TEST_F(Adapters9x, AdaptersNotBoundOrUnnamedArePassedOver)
{
    TestNetAdapter notBound("ROOT\\NET\\7300", "Not Bound", "Net\\0007", "NETBEUI\\0000");
    notBound.AddBinding("VEMT");
    notBound.AddBinding("VEMTO" + std::string(300, '0'));  // enumerated before "vEmTo..."
    TestNetAdapter shortName("ROOT\\NET\\7301", "Short", "Ne");
    TestNetAdapter prefixOnly("ROOT\\NET\\7302", "Prefix", "Net0");
    TestNetAdapter longName("ROOT\\NET\\7303", "Long", "Net\\" + std::string(28, '7'));
    EXPECT_EQ("!0001", Reconcile("0001"));
    EXPECT_EQ(Strings{"!Default"}, FillAndChoose("", 0));
    const std::string longest(27, '5');  // "Net\", 27 characters and the NUL fill 32 bytes
    TestNetAdapter good("ROOT\\NET\\7304", std::string(250, 'e'), "Net\\" + longest);
    TestNetAdapter longer("ROOT\\NET\\7305", std::string(300, 'd'), "Net\\0005");
    EXPECT_EQ(longest, Reconcile("Default"));
    EXPECT_EQ((Strings{std::string(250, 'e') + "/ROOT", std::string(255, 'd'), longest}),
              FillAndChoose(longest.c_str(), 0));
    notBound.AddBinding("vEmTo\\0003");
    EXPECT_EQ("0007", Reconcile("0001"));
}
