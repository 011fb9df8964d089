// The check of the whole Port Table on the real global table, a real list
// view with id 200 and real message boxes answered through the hook.
#include <gtest/gtest.h>

#include <functional>

#include "ports/kinds/physical_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"
#include "support/test_ports.h"

namespace {

using Texts = std::vector<std::string>;
using Rows = std::vector<int>;
const std::string Duplicate =
    "At least two entries contain duplicated values. If you click OK, duplicated entry "
    "will be ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Invalid =
    "At least one entry contains invalid values. If you click OK, invalid entry will be "
    "ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Incomplete =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta "
    "Protocol to run. Do you want to save anyway?";

// Takes itself for every port; others take it for the same port by number only.
struct GreedyPort : FakePtpPort {
    bool IsSamePort(const Port&) const override { return true; }
};

template <class T>
Port* Make(unsigned id, unsigned network = 0, bool attached = true)
{
    T* port = new T;
    port->SetPortId(id);
    port->SetAttached(attached);
    if (auto* withDnet = dynamic_cast<PortWithDnet*>(port))
        withDnet->SetNetwork(network);
    return port;
}

class Validation : public testing::Test {
protected:
    void SetUp() override { FreePortTable(); }
    void TearDown() override { FreePortTable(); }
    // Replaces the global table; the host gets at least one row per entry.
    void Table(std::initializer_list<Port*> ports)
    {
        FreePortTable();
        for (Port* port : ports)
            ASSERT_TRUE(AppendPort(port));
        host.SetRowCount(PortTable.count);
    }
    ListViewHost host;
};

Rows Statuses()
{
    Rows statuses;
    for (int i = 0; i < PortTable.count; ++i)
        statuses.push_back(GetEntryStatus(i));
    return statuses;
}

}  // namespace

// Each table gives its messages (every one OK but the last, answered as
// given), result, statuses and selected row (row 0 beforehand: valid entries
// and a null window touch no row). A Cancel ends the check at once.
TEST_F(Validation, TablesAndAnswers)
{
    struct Case {
        const char* name;
        std::function<void()> fill;
        int lastAnswer, result;
        Texts texts;
        Rows statuses, selected;
        bool unowned = false;
    } const cases[] = {
        {"empty", [&] { Table({}); }, IDOK, 1, {Incomplete}, {}, {}},
        {"empty, Cancel", [&] { Table({}); }, IDCANCEL, 0, {Incomplete}, {}, {}},
        {"one virtual", [&] { Table({Make<VirtualPort>(1, 10)}); }, IDCANCEL, 0, {Incomplete}, {0}, {0}},
        {"one point-to-point", [&] { Table({Make<FakePtpPort>(1)}); }, IDOK, 1, {Incomplete}, {0}, {0}},
        {"one Ethernet", [&] { Table({Make<PhysicalPort>(1, 10)}); }, IDOK, 1, {}, {0}, {0}},
        {"detached physical", [&] { Table({Make<FakePhysicalPort>(1, 10, false)}); }, IDOK, 1, {}, {1}, {0}},
        {"virtual, ptp",
         [&] {
             Table({Make<VirtualPort>(1, 10), Make<FakePtpPort>(2)});
         },
         IDOK,
         1,
         {},
         {0, 0},
         {0}},
        {"two with port 5",
         [&] {
             Table({Make<FakePhysicalPort>(5, 10), Make<FakePhysicalPort>(5, 20)});
         },
         IDOK,
         1,
         {Duplicate},
         {0, 2},
         {1}},
        {"duplicates do not count",
         [&] {
             Table({Make<FakePtpPort>(5), Make<FakePhysicalPort>(5, 10)});
         },
         IDOK,
         1,
         {Duplicate, Incomplete},
         {0, 2},
         {1}},
        {"later asked about earlier",
         [&] {
             Table({Make<FakePhysicalPort>(1, 10), Make<GreedyPort>(2)});
         },
         IDOK,
         1,
         {Duplicate},
         {0, 2},
         {1}},
        {"earlier never asked",
         [&] {
             Table({Make<GreedyPort>(2), Make<FakePhysicalPort>(1, 10)});
         },
         IDOK,
         1,
         {},
         {0, 0},
         {0}},
        {"Cancel on 128",
         [&] {
             Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<VirtualPort>(0, 30)});
         },
         IDCANCEL,
         0,
         {Duplicate},
         {0, 2, 3},
         {1}},
        {"Cancel on 129",
         [&] {
             Table({Make<FakePtpPort>(1), Make<VirtualPort>(0, 10), Make<VirtualPort>(2, 0)});
         },
         IDCANCEL,
         0,
         {Invalid},
         {0, 3, 3},
         {1}},
        {"null window",
         [&] {
             Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<VirtualPort>(0, 30)});
         },
         IDOK,
         1,
         {Duplicate, Invalid, Incomplete},
         {0, 2, 3},
         {0},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.fill();
        host.Select({0});
        DialogDriver driver;
        for (size_t i = 0; i < c.texts.size(); ++i)
            driver.OnMessageBox(i + 1 < c.texts.size() ? IDOK : c.lastAnswer);
        EXPECT_EQ(c.result, ValidatePortTable(c.unowned ? nullptr : host.Window()));
        EXPECT_EQ(c.texts, driver.MessageTexts());
        EXPECT_EQ(c.selected, host.SelectedRows());
        EXPECT_EQ(c.statuses, Statuses());
        EXPECT_EQ(nullptr, PortTable.cursor);
        for (const MessageBoxRecord& box : driver.MessageBoxes()) {
            EXPECT_EQ("Orvanta Message", box.caption);
            EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONEXCLAMATION), box.style);
            EXPECT_EQ(c.unowned ? nullptr : host.Window(), box.owner);
        }
    }
}

// Invalid entries are never compared against; each message is shown once,
// with the offender's row alone selected; later offenders only move the
// selection, and the last one stays selected.
TEST_F(Validation, EachMessageOnceAndInvalidEntriesNeverMatch)
{
    Table({Make<FakePhysicalPort>(1, 10), Make<VirtualPort>(0, 20) /* invalid */,
           Make<VirtualPort>(1, 30) /* same port number as the first */,
           Make<VirtualPort>(3, 0) /* invalid */, Make<VirtualPort>(4, 10) /* same network as the first */,
           Make<VirtualPort>(3, 20) /* matches the invalid entries only */});
    host.Select({0, 5});
    std::vector<Rows> selections;
    auto see = [&](HWND) { selections.push_back(host.SelectedRows()); };
    DialogDriver driver;
    driver.OnMessageBox(IDOK, see).OnMessageBox(IDOK, see);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ((Texts{Invalid, Duplicate}), driver.MessageTexts());
    EXPECT_EQ((std::vector<Rows>{{1}, {2}}), selections);
    EXPECT_EQ(Rows{4}, host.SelectedRows());
    EXPECT_EQ((Rows{0, 3, 2, 3, 2, 0}), Statuses());
}

// Each entry's validity is asked once per check and each pair compared at
// most once: statuses are not derived again for every later entry.
TEST_F(Validation, OnePassPerCheck)
{
    const int count = 40;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(AppendPort(Make<FakePhysicalPort>(i + 1, 100 + i)));
    TestPortIsValidCalls = TestPortIsSamePortCalls = 0;
    DialogDriver driver;
    EXPECT_EQ(1, ValidatePortTable(nullptr));
    EXPECT_EQ(count, TestPortIsValidCalls);
    EXPECT_EQ(count * (count - 1) / 2, TestPortIsSamePortCalls);
    TestPortIsValidCalls = TestPortIsSamePortCalls = 0;
    EXPECT_EQ(EntryValidAttached, GetEntryStatus(count - 1));
    EXPECT_EQ(count, TestPortIsValidCalls);
    EXPECT_EQ(count * (count - 1) / 2, TestPortIsSamePortCalls);
}

// A message box runs a message loop: a table freed meanwhile stops the check
// with 0 rather than walk freed nodes.
TEST_F(Validation, TableFreedWhileAskedStopsTheCheck)
{
    Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<VirtualPort>(0, 30)});
    DialogDriver driver;
    driver.OnMessageBox(IDOK, [](HWND) { FreePortTable(); });
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{Duplicate}, driver.MessageTexts());
}

// Positions outside the table and short or missing buffers get a defined answer.
TEST_F(Validation, EntryStatusOutsideTheTable)
{
    Table({Make<VirtualPort>(1, 10, false)});
    for (int position : {1, -1, 0x7FFFFFFF})
        EXPECT_EQ(-1, GetEntryStatus(position)) << position;
    BYTE statuses[2] = {9, 9};
    EXPECT_EQ(1, ComputeEntryStatuses(statuses, 2));
    EXPECT_TRUE(statuses[0] == EntryValidDetached && statuses[1] == 9);
    EXPECT_EQ(0, ComputeEntryStatuses(nullptr, 4));
}
