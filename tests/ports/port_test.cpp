// The common fields: their texts, checks and copies, their registry values.
#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "support/test_ports.h"

// "Port ID", "Attached" and "Network Num" as the list shows them.
std::string Texts(const Port& port)
{
    return std::string(port.GetPortIdText()) + " " + port.GetAttachedText() + " " + port.GetNetworkText();
}

// Texts within the field widths (8 and 16 bits); a copy keeps the network number within one kind.
TEST(PortFields, TextsCopiesAndChecks)
{
    VirtualPort same;
    FakePhysicalPort other;
    FakePtpPort ptp;
    ptp.SetPortId(3);
    other.SetNetwork(5);
    EXPECT_EQ(
        (std::vector<std::string>{"0 Yes 0", "44 No 9029", "255 Yes 65535", "9 No 77", "9 No 0", "3 Yes 0"}),
        (std::vector<std::string>{Texts(VirtualPort()), Texts(VirtualPortWith(300, 0x12345, false)),
                                  Texts(VirtualPortWith(255, 65535)),
                                  Texts(same.CopyFrom(VirtualPortWith(9, 77, false))),
                                  Texts(other.CopyFrom(same)), Texts(same.CopyFrom(ptp))}));

    // Port number, network number: the port number checked first, then the network; outputs kept on success.
    const std::tuple<unsigned, unsigned, const char*> cases[] = {
        {0, 0, "0 510/145"},     {0, 5, "0 510/145"},   {12, 0, "0 512/145"},
        {1, 65535, "0 512/145"}, {1, 65534, "1 -1/-1"}, {255, 1, "1 -1/-1"},
    };
    for (const auto& [id, network, expected] : cases) {
        int control = -1, message = -1;
        bool valid = VirtualPortWith(id, network).Validate(control, message);
        EXPECT_EQ(expected,
                  std::to_string(valid) + " " + std::to_string(control) + "/" + std::to_string(message))
            << id << "/" << network;
    }
}
