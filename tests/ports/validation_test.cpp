// The Port Table check on the real table, list view and message boxes.
#include <gtest/gtest.h>

#include <sstream>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"
#include "support/test_ports.h"

using Texts = std::vector<std::string>;
using Rows = std::vector<int>;
const std::string Duplicate =
    "At least two entries contain duplicated values. If you click OK, duplicated entry will be ignored, and "
    "Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Invalid =
    "At least one entry contains invalid values. If you click OK, invalid entry will be ignored, and Orvanta "
    "protocol may not run properly. Do you wish to continue?";
const std::string Incomplete =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta Protocol to run. Do "
    "you want to save anyway?";

// Takes itself for every port.
struct GreedyPort : FakePtpPort {
    bool IsSamePort(const Port&) const override { return true; }
};

class Validation : public testing::Test {
protected:
    void TearDown() override { FreePortTable(); }
    // Words "<kind><port>/<network>": V virtual, P physical, T point-to-point, G greedy; d: detached.
    void Table(const std::string& layout)
    {
        FreePortTable();
        std::istringstream words(layout);
        for (std::string word; words >> word;) {
            unsigned id = 0, network = 0;
            sscanf(word.c_str() + 1, "%u/%u", &id, &network);
            Port* port = word[0] == 'V'   ? new VirtualPort
                         : word[0] == 'P' ? static_cast<Port*>(new FakePhysicalPort)
                         : word[0] == 'T' ? new FakePtpPort
                                          : new GreedyPort;
            port->SetPortId(id);
            port->SetAttached(word.back() != 'd');
            if (auto* withDnet = dynamic_cast<PortWithDnet*>(port))
                withDnet->SetNetwork(network);
            ASSERT_TRUE(AppendPort(port));
        }
    }
    ListViewHost host;
};

// Each table, for the host and a null window: its messages (all OK but the last: Cancel ends the check
// with 0) and the statuses.
TEST_F(Validation, AnswersStatusesAndChangesWhileAsked)
{
    const struct {
        const char* table;
        int lastAnswer;
        Texts texts;
        Rows statuses;
    } cases[] = {
        {"", IDOK, {Incomplete}, {}},
        {"V1/10", IDCANCEL, {Incomplete}, {0}},
        {"T1", IDOK, {Incomplete}, {0}},
        {"P1/10d", IDOK, {}, {1}},
        {"V1/10 T2", IDOK, {}, {0, 0}},
        {"P5/10 P5/20", IDOK, {Duplicate}, {0, 2}},
        {"T5 P5/10", IDOK, {Duplicate, Incomplete}, {0, 2}},  // duplicates do not count
        {"P1/10 G2", IDOK, {Duplicate}, {0, 2}},              // the later entry is asked
        {"G2 P1/10", IDOK, {}, {0, 0}},                       // the earlier one never
        {"V5/10 V5/20 V0/30", IDOK, {Duplicate, Invalid, Incomplete}, {0, 2, 3}},
        {"V5/10 V5/20 V0/30", IDCANCEL, {Duplicate}, {0, 2, 3}},
        {"T1 V0/10 V2/0", IDCANCEL, {Invalid}, {0, 3, 3}},
        {"P1/10 V0/20 V1/30 V3/0 V4/10 V3/20", IDOK, {Invalid, Duplicate}, {0, 3, 2, 3, 2, 0}},
    };
    for (const auto& c : cases) {
        for (HWND owner : {host.window, HWND(nullptr)}) {
            SCOPED_TRACE(testing::Message()
                         << '"' << c.table << "\" " << c.lastAnswer << (owner ? "" : " unowned"));
            Table(c.table);
            DialogDriver driver;
            for (size_t i = 0; i < c.texts.size(); ++i)
                driver.OnMessageBox(i + 1 < c.texts.size() ? IDOK : c.lastAnswer);
            EXPECT_EQ(c.texts.empty() || c.lastAnswer == IDOK, ValidatePortTable(owner));
            EXPECT_EQ(c.texts, driver.MessageTexts());
            BYTE statuses[8];
            EXPECT_EQ(c.statuses, Rows(statuses, statuses + ComputeEntryStatuses(statuses, 8)));
            for (const MessageBoxRecord& box : driver.MessageBoxes())
                EXPECT_EQ(std::make_tuple(std::string("Orvanta Message"), owner,
                                          UINT(MB_OKCANCEL | MB_ICONEXCLAMATION)),
                          std::make_tuple(box.caption, box.owner, box.style));
        }
    }

    // Any change of the table while a message is shown stops the check with 0: free, append, remove, swap.
    void (*changes[])() = {[] { FreePortTable(); }, [] { AppendPort(new VirtualPort); },
                           [] { delete PortTable.tail->port, RemovePortTableNode(PortTable.tail); },
                           [] { SwapPortTableEntries(2, 3); }};
    for (size_t i = 0; i < sizeof(changes) / sizeof(changes[0]); ++i) {
        SCOPED_TRACE(i);
        Table("V5/10 V5/20 V0/30 P1/40");
        DialogDriver driver;
        driver.OnMessageBox(IDOK, [&](HWND) { changes[i](); });
        EXPECT_EQ(0, ValidatePortTable(host.window));
        EXPECT_EQ(Texts{Duplicate}, driver.MessageTexts());
    }

    // Statuses from one pass (each entry asked once, each pair compared once); bad arguments answered.
    Table("P1/10d P2/20 P3/30");
    TestPortIsValidCalls = TestPortIsSamePortCalls = 0;
    DialogDriver driver;
    EXPECT_EQ(1, ValidatePortTable(nullptr));
    EXPECT_EQ(EntryValidAttached, GetEntryStatus(2));
    EXPECT_EQ((Rows{3 + 3, 3 + 3}), (Rows{TestPortIsValidCalls, TestPortIsSamePortCalls}))
        << "asked and compared by the check, then by one status";
    BYTE statuses[4] = {9, 9, 9, 9};
    EXPECT_EQ((Rows{-1, -1, -1, 1, 9, 0, 0}),
              (Rows{GetEntryStatus(3), GetEntryStatus(-1), GetEntryStatus(0x7FFFFFFF),
                    ComputeEntryStatuses(statuses, 1), statuses[1], ComputeEntryStatuses(nullptr, 4),
                    ComputeEntryStatuses(statuses, -1)}));
    EXPECT_EQ(3, ComputeEntryStatuses(statuses, 4));
    EXPECT_EQ((Rows{EntryValidDetached, EntryValidAttached, EntryValidAttached, 9}),
              Rows(statuses, statuses + 4));
}
