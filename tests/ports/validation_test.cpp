// The check of the whole Port Table, run against the real global table, a
// real list view with id 200 and real message boxes answered by the hook.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "resource.h"
#include "support/dialog_driver.h"
#include "support/list_view_host.h"

namespace {

const std::string DuplicateText =
    "At least two entries contain duplicated values. If you click OK, duplicated entry will be "
    "ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string InvalidText =
    "At least one entry contains invalid values. If you click OK, invalid entry will be ignored, "
    "and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string IncompleteText =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta Protocol "
    "to run. Do you want to save anyway?";

using Texts = std::vector<std::string>;

// How often the check asked the test kinds, to prove one pass per check.
int isValidCalls = 0;
int isSamePortCalls = 0;

// Test kinds: the codes of an Ethernet-like physical port and of a
// point-to-point port, counting the questions they are asked.
template <class Base, int Type, int Kind>
class FakeKind : public Base {
public:
    int GetType() const override { return Type; }
    int GetProtocol() const override { return 0; }
    int GetKind() const override { return Kind; }
    bool IsSamePort(const Port& other) const override
    {
        ++isSamePortCalls;
        return Base::IsSamePort(other);
    }
    bool IsValid() const override
    {
        ++isValidCalls;
        return Base::IsValid();
    }
    const char* GetNetworkText() const override { return Base::GetNetworkText(); }
    const char* GetTypeName() const override { return "Fake"; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND) const override { return nullptr; }
    int GetDialogId() const override { return -1; }
};

// Port has no network text of its own: the point-to-point kinds answer "n/a".
class PtpBase : public Port {
public:
    const char* GetNetworkText() const override { return NotApplicableText; }
};

using FakePhysical = FakeKind<PortWithDnet, PortTypePhysical, KindPhysical>;
using FakePtp = FakeKind<PtpBase, PortTypePointToPoint, KindPtp>;

// A kind that takes itself for every port it is asked about, while others
// take it for the same port only by port number: IsSamePort not symmetric.
class Greedy : public FakePtp {
public:
    bool IsSamePort(const Port&) const override
    {
        ++isSamePortCalls;
        return true;
    }
};

template <class T>
T* Make(unsigned id, unsigned network = 0, bool attached = true)
{
    T* port = new T;
    port->SetPortId(id);
    port->SetAttached(attached);
    if (auto* withDnet = dynamic_cast<PortWithDnet*>(port))
        withDnet->SetNetwork(network);
    return port;
}

// The global Port Table filled by a test, with one list row per entry in
// a hidden host window; emptied again afterwards.
class PortTableValidation : public testing::Test {
protected:
    void SetUp() override
    {
        FreePortTable();
        isValidCalls = isSamePortCalls = 0;
    }
    void TearDown() override { FreePortTable(); }

    void Table(std::initializer_list<Port*> ports)
    {
        for (Port* port : ports)
            ASSERT_TRUE(AppendPort(port));
        host.SetRowCount(PortTable.count);
    }

    std::vector<int> Statuses()
    {
        std::vector<int> statuses;
        for (int i = 0; i < PortTable.count; ++i)
            statuses.push_back(GetEntryStatus(i));
        return statuses;
    }

    ListViewHost host;
};

}  // namespace

// ---------------------------------------------------------------------------
// The count rule

TEST_F(PortTableValidation, EmptyTableShowsOnlyTheCountMessage)
{
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDCANCEL);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ((Texts{IncompleteText, IncompleteText}), driver.MessageTexts());
    const MessageBoxRecord& box = driver.MessageBoxes()[0];
    EXPECT_EQ("Orvanta Message", box.caption);
    EXPECT_EQ("exclamation", box.icon);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), box.buttons);
    EXPECT_EQ(host.Window(), box.owner);
}

TEST_F(PortTableValidation, OneVirtualPortAloneFailsTheCountRule)
{
    Table({Make<VirtualPort>(1, 10)});
    DialogDriver driver;
    driver.OnMessageBox(IDCANCEL);
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{IncompleteText}, driver.MessageTexts());
    EXPECT_EQ(std::vector<int>{}, host.SelectedRows()) << "a valid entry selects nothing";
}

TEST_F(PortTableValidation, OnePointToPointPortAloneFailsTheCountRule)
{
    Table({Make<FakePtp>(1)});
    DialogDriver driver;
    driver.OnMessageBox(IDOK);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{IncompleteText}, driver.MessageTexts());
}

TEST_F(PortTableValidation, TablesThatPassSilently)
{
    {
        SCOPED_TRACE("one physical port counts for both halves");
        Table({Make<FakePhysical>(1, 10)});
        DialogDriver driver;
        EXPECT_EQ(1, ValidatePortTable(host.Window()));
        FreePortTable();
    }
    {
        SCOPED_TRACE("a detached physical port counts too");
        Table({Make<FakePhysical>(1, 10, false)});
        DialogDriver driver;
        EXPECT_EQ(1, ValidatePortTable(host.Window()));
        EXPECT_EQ(std::vector<int>{EntryValidDetached}, Statuses());
        FreePortTable();
    }
    {
        SCOPED_TRACE("a virtual and a point-to-point port each give one half");
        Table({Make<VirtualPort>(1, 10), Make<FakePtp>(2)});
        DialogDriver driver;
        EXPECT_EQ(1, ValidatePortTable(host.Window()));
        EXPECT_EQ((std::vector<int>{EntryValidAttached, EntryValidAttached}), Statuses());
    }
}

// ---------------------------------------------------------------------------
// Duplicates and invalid entries

TEST_F(PortTableValidation, SecondEntryWithTheSamePortNumberIsADuplicate)
{
    Table({Make<FakePhysical>(5, 10), Make<FakePhysical>(5, 20)});
    std::vector<int> selectedWhileAsked;
    DialogDriver driver;
    driver.OnMessageBox(IDOK, [&](HWND) { selectedWhileAsked = host.SelectedRows(); });
    EXPECT_EQ(1, ValidatePortTable(host.Window())) << "the first entry alone passes the count rule";
    EXPECT_EQ(Texts{DuplicateText}, driver.MessageTexts());
    EXPECT_EQ(std::vector<int>{1}, selectedWhileAsked);
    EXPECT_EQ(std::vector<int>{1}, host.SelectedRows());
    EXPECT_EQ((std::vector<int>{EntryValidAttached, EntryDuplicate}), Statuses());
}

TEST_F(PortTableValidation, DuplicatesDoNotCountForTheRule)
{
    // The physical port duplicates the point-to-point one before it: only
    // the point-to-point port counts, and it gives one half of the rule.
    Table({Make<FakePtp>(5), Make<FakePhysical>(5, 10)});
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDOK);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ((Texts{DuplicateText, IncompleteText}), driver.MessageTexts());
}

TEST_F(PortTableValidation, InvalidEntryIsNeverComparedAgainst)
{
    // The second entry is invalid through its network number; the third has
    // its port number and matches nothing else.
    Table({Make<FakePhysical>(1, 10), Make<VirtualPort>(2, 0), Make<VirtualPort>(2, 30)});
    std::vector<int> selectedWhileAsked;
    DialogDriver driver;
    driver.OnMessageBox(IDOK, [&](HWND) { selectedWhileAsked = host.SelectedRows(); });
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{InvalidText}, driver.MessageTexts());
    EXPECT_EQ(std::vector<int>{1}, selectedWhileAsked);
    EXPECT_EQ(std::vector<int>{1}, host.SelectedRows());
    EXPECT_EQ((std::vector<int>{EntryValidAttached, EntryInvalid, EntryValidAttached}), Statuses());
}

TEST_F(PortTableValidation, EachMessageOnceAndTheLastOffenderStaysSelected)
{
    Table({Make<FakePhysical>(1, 10),
           Make<VirtualPort>(0, 20),   // invalid: no port number
           Make<VirtualPort>(1, 30),   // duplicate of the first
           Make<VirtualPort>(3, 0),    // invalid: no network number
           Make<VirtualPort>(4, 10),   // duplicate: the first's network number
           Make<VirtualPort>(5, 50)});
    std::vector<std::vector<int>> selections;
    auto seeSelection = [&](HWND) { selections.push_back(host.SelectedRows()); };
    DialogDriver driver;
    driver.OnMessageBox(IDOK, seeSelection).OnMessageBox(IDOK, seeSelection);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ((Texts{InvalidText, DuplicateText}), driver.MessageTexts());
    EXPECT_EQ((std::vector<std::vector<int>>{{1}, {2}}), selections);
    EXPECT_EQ(std::vector<int>{4}, host.SelectedRows());
    EXPECT_EQ((std::vector<int>{0, 3, 2, 3, 2, 0}), Statuses());
}

TEST_F(PortTableValidation, CancelStopsTheCheckAtOnce)
{
    Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<FakePhysical>(0, 30)});
    DialogDriver driver;
    driver.OnMessageBox(IDCANCEL);
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{DuplicateText}, driver.MessageTexts()) << "no 129 for the third, no 133";
    EXPECT_EQ(0, isValidCalls) << "the entry after the cancelled message is not looked at";
    EXPECT_EQ(std::vector<int>{1}, host.SelectedRows());
}

TEST_F(PortTableValidation, CancelOnTheInvalidMessageStopsToo)
{
    Table({Make<FakePhysical>(0, 10), Make<FakePhysical>(1, 20), Make<FakePhysical>(1, 30)});
    DialogDriver driver;
    driver.OnMessageBox(IDCANCEL);
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{InvalidText}, driver.MessageTexts());
    EXPECT_EQ(1, isValidCalls);
    EXPECT_EQ(nullptr, PortTable.cursor) << "the walk leaves the cursor idle";
}

// The later entry is asked about the earlier one, never the other way.
TEST_F(PortTableValidation, TheLaterEntryIsAskedAboutTheEarlierOne)
{
    {
        Table({Make<FakePhysical>(1, 10), Make<Greedy>(2)});
        DialogDriver driver;
        driver.OnMessageBox(IDOK);
        EXPECT_EQ(1, ValidatePortTable(host.Window()));
        EXPECT_EQ(Texts{DuplicateText}, driver.MessageTexts());
        EXPECT_EQ(EntryDuplicate, GetEntryStatus(1));
        FreePortTable();
    }
    Table({Make<Greedy>(2), Make<FakePhysical>(1, 10)});
    DialogDriver driver;
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ(EntryValidAttached, GetEntryStatus(1));
}

// Each entry's validity is asked once per check, and each entry compared
// at most with each earlier one: statuses are not derived again for every
// later entry.
TEST_F(PortTableValidation, OnePassPerCheck)
{
    const int count = 40;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(AppendPort(Make<FakePhysical>(unsigned(i + 1), unsigned(100 + i))));
    host.SetRowCount(count);
    DialogDriver driver;
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    EXPECT_EQ(count, isValidCalls);
    EXPECT_EQ(count * (count - 1) / 2, isSamePortCalls);

    isValidCalls = isSamePortCalls = 0;
    EXPECT_EQ(EntryValidAttached, GetEntryStatus(count - 1));
    EXPECT_EQ(count, isValidCalls);
    EXPECT_EQ(count * (count - 1) / 2, isSamePortCalls);
}

TEST_F(PortTableValidation, CheckLeavesTheTableAsItWas)
{
    Port* first = Make<VirtualPort>(5, 10);
    Port* second = Make<VirtualPort>(5, 10);
    Table({first, second});
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDOK);
    EXPECT_EQ(1, ValidatePortTable(host.Window()));
    ASSERT_EQ(2, PortTable.count);
    EXPECT_EQ(first, PortTable.head->port);
    EXPECT_EQ(second, PortTable.tail->port);
    EXPECT_STREQ("5", second->GetPortIdText());
    EXPECT_EQ(nullptr, PortTable.cursor);
}

// ---------------------------------------------------------------------------
// Without a dialog, or with one that has no list

TEST_F(PortTableValidation, NullWindowChecksWithUnownedMessages)
{
    Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<VirtualPort>(0, 30)});
    host.Select({0});
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDOK).OnMessageBox(IDOK);
    EXPECT_EQ(1, ValidatePortTable(nullptr));
    EXPECT_EQ((Texts{DuplicateText, InvalidText, IncompleteText}), driver.MessageTexts());
    for (const MessageBoxRecord& box : driver.MessageBoxes())
        EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(std::vector<int>{0}, host.SelectedRows()) << "no list is touched";
}

TEST_F(PortTableValidation, WindowWithoutListStillChecks)
{
    Table({Make<VirtualPort>(0, 10)});
    HWND noList = CreateWindowExA(0, "STATIC", "no list", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDCANCEL);
    EXPECT_EQ(0, ValidatePortTable(noList));
    EXPECT_EQ((Texts{InvalidText, IncompleteText}), driver.MessageTexts());
    EXPECT_EQ(noList, driver.MessageBoxes()[0].owner);
    DestroyWindow(noList);
}

// A message box runs a message loop: if the table is freed meanwhile (a
// host reloading it), the check stops with 0 rather than walk freed nodes.
TEST_F(PortTableValidation, TableFreedWhileAskedStopsTheCheck)
{
    Table({Make<VirtualPort>(5, 10), Make<VirtualPort>(5, 20), Make<VirtualPort>(0, 30)});
    DialogDriver driver;
    driver.OnMessageBox(IDOK, [](HWND) { FreePortTable(); });
    EXPECT_EQ(0, ValidatePortTable(host.Window()));
    EXPECT_EQ(Texts{DuplicateText}, driver.MessageTexts());
    EXPECT_EQ(0, PortTable.count);
}

// ---------------------------------------------------------------------------
// GetEntryStatus

TEST_F(PortTableValidation, EntryStatusOfEachRule)
{
    Table({Make<FakePhysical>(1, 10), Make<FakePhysical>(2, 20, false), Make<FakePtp>(2),
           Make<FakePtp>(0), Make<VirtualPort>(3, 10), Make<VirtualPort>(4, 40, false)});
    EXPECT_EQ((std::vector<int>{EntryValidAttached, EntryValidDetached, EntryDuplicate, EntryInvalid,
                                EntryDuplicate, EntryValidDetached}),
              Statuses());
}

TEST_F(PortTableValidation, EntryStatusOfMissingPositions)
{
    EXPECT_EQ(-1, GetEntryStatus(0)) << "empty table";
    Table({Make<VirtualPort>(1, 10)});
    EXPECT_EQ(EntryValidAttached, GetEntryStatus(0));
    EXPECT_EQ(-1, GetEntryStatus(1));
    EXPECT_EQ(-1, GetEntryStatus(-1));
    EXPECT_EQ(-1, GetEntryStatus(0x7FFFFFFF));

    BYTE statuses[4] = {9, 9, 9, 9};
    EXPECT_EQ(1, ComputeEntryStatuses(statuses, 4)) << "only as many as the table holds";
    EXPECT_EQ(EntryValidAttached, statuses[0]);
    EXPECT_EQ(9, statuses[1]);
    EXPECT_EQ(0, ComputeEntryStatuses(statuses, 0));
    EXPECT_EQ(0, ComputeEntryStatuses(nullptr, 4));
}
