#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"

namespace {

// Every test starts and ends with no stored table and an empty list.
class PortTableStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreePortTable();
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    }
    void TearDown() override
    {
        FreePortTable();
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        ChangeCallback = nullptr;
        PortTableDialog = nullptr;
    }

    static void StoreVirtual(int position, DWORD port, DWORD network, DWORD protocol = 0)
    {
        std::string entry = EntryPath(position);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Type", 1);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Protocol", protocol);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Port", port);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Dnet", network);
    }
    static void StoreCount(DWORD count) { SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", count); }

    static Port* PortAt(int position)
    {
        PortTableNode* node = PortTableNodeAt(position);
        return node ? node->port : nullptr;
    }

    // Walks the list both ways and checks it against count.
    static void ExpectConsistentList()
    {
        int forward = 0;
        PortTableNode* last = nullptr;
        for (PortTableNode* n = PortTable.head; n; n = n->next, ++forward) {
            EXPECT_EQ(last, n->previous);
            EXPECT_NE(nullptr, n->port);
            last = n;
        }
        EXPECT_EQ(last, PortTable.tail);
        EXPECT_EQ(PortTable.count, forward);
        EXPECT_EQ(PortTable.count == 0, PortTable.head == nullptr);
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Loading

TEST_F(PortTableStore, MissingTableLoadsEmpty)
{
    EXPECT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    ExpectConsistentList();
}

TEST_F(PortTableStore, NegativeCountRefusesTheLoad)
{
    StoreCount(0xFFFFFFFF);
    StoreVirtual(0, 1, 1);
    EXPECT_FALSE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    StoreCount(0x80000000);
    EXPECT_FALSE(LoadPortTable());
}

TEST_F(PortTableStore, LoadsEntriesInOrder)
{
    StoreCount(3);
    StoreVirtual(0, 10, 100);
    StoreVirtual(1, 20, 200);
    StoreVirtual(2, 30, 300);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(3, PortTable.count);
    ExpectConsistentList();
    EXPECT_STREQ("10", PortAt(0)->GetPortIdText());
    EXPECT_STREQ("200", PortAt(1)->GetNetworkText());
    EXPECT_STREQ("30", PortAt(2)->GetPortIdText());
}

TEST_F(PortTableStore, ZeroCountIgnoresLeftoversAndSaveDeletesThem)
{
    StoreCount(0);
    StoreVirtual(0, 1, 1);
    StoreVirtual(1, 2, 2);
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE, TablePath).empty());
}

TEST_F(PortTableStore, AtMost255EntriesAreLoaded)
{
    StoreCount(300);
    for (int i = 0; i < 300; ++i)
        StoreVirtual(i, DWORD(i % 255 + 1), DWORD(i + 1));
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(255, PortTable.count);
    EXPECT_STREQ("255", PortAt(254)->GetNetworkText());
    ExpectConsistentList();
}

TEST_F(PortTableStore, PointToPointOfUnknownProtocolIsDroppedAndSaveCloses)
{
    StoreCount(2);
    std::string first = EntryPath(0);
    SetDword(HKEY_LOCAL_MACHINE, first, "Type", 2);
    SetDword(HKEY_LOCAL_MACHINE, first, "Protocol", 5);
    SetDword(HKEY_LOCAL_MACHINE, first, "Port", 4);
    StoreVirtual(1, 8, 80);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(1, PortTable.count);
    EXPECT_EQ(1, PortAt(0)->GetType());
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(std::vector<std::string>{"Entry0"}, SubkeyNames(HKEY_LOCAL_MACHINE, TablePath));
    EXPECT_EQ(8u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port"));
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type"));
}

TEST_F(PortTableStore, VirtualOfAnyProtocolSavesBackAsProtocolZero)
{
    StoreCount(1);
    StoreVirtual(0, 3, 30, 9);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(1, PortTable.count);
    EXPECT_EQ(1, PortAt(0)->GetKind());
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Protocol"));
}

TEST_F(PortTableStore, LoadRemovesOldNodesWithoutDestroyingTheirPorts)
{
    FakePtpPort* kept = new FakePtpPort;
    ASSERT_TRUE(AppendPort(kept));
    int live = LiveTestPorts;
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    EXPECT_EQ(live, LiveTestPorts);
    delete kept;
}

// ---------------------------------------------------------------------------
// Saving

TEST_F(PortTableStore, RoundTripIsByteForByteAfterNormalisation)
{
    StoreCount(2);
    StoreVirtual(0, 0x105, 0x10007);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Connected", 5);
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Unknown", "dropped");
    StoreVirtual(1, 6, 65534);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Connected", 0);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_TRUE(SavePortTable());

    std::vector<std::string> names{"Connected", "Dnet", "Port", "Protocol", "Type"};
    EXPECT_EQ(names, SortedValueNames(HKEY_LOCAL_MACHINE, EntryPath(0)));
    EXPECT_EQ(7u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Dnet"));
    EXPECT_EQ(5u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port"));
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Connected"));
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Connected"));
    EXPECT_EQ(65534u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet"));

    // A second load and save changes nothing.
    std::vector<BYTE> before, after;
    DWORD type;
    GetRaw(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet", &type, &before);
    FreePortTable();
    ASSERT_TRUE(LoadPortTable());
    ASSERT_TRUE(SavePortTable());
    GetRaw(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet", &type, &after);
    EXPECT_EQ(before, after);
    EXPECT_EQ(names, SortedValueNames(HKEY_LOCAL_MACHINE, EntryPath(1)));
}

TEST_F(PortTableStore, SaveOfShorterTableLeavesNoOldEntries)
{
    StoreCount(3);
    StoreVirtual(0, 1, 1);
    StoreVirtual(1, 2, 2);
    StoreVirtual(2, 3, 3);
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Stray", 1);
    ASSERT_TRUE(LoadPortTable());
    PortTableNode* middle = PortTableNodeAt(1);
    Port* port = middle->port;
    RemovePortTableNode(middle);
    delete port;
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ((std::vector<std::string>{"Entry0", "Entry1"}), SubkeyNames(HKEY_LOCAL_MACHINE, TablePath));
    EXPECT_EQ(std::vector<std::string>{"Num_Entries"}, ValueNames(HKEY_LOCAL_MACHINE, TablePath));
    EXPECT_EQ(3u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Port"));
}

TEST_F(PortTableStore, ValueNamedLikeTheTableIsReplacedByTheKey)
{
    std::string parent = "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl";
    SetDword(HKEY_LOCAL_MACHINE, parent, "Port_Table", 1);
    VirtualPort* port = new VirtualPort;
    port->SetPortId(1);
    ASSERT_TRUE(AppendPort(port));
    ASSERT_TRUE(SavePortTable());
    DWORD type;
    EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, parent, "Port_Table", &type, nullptr));
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port"));
}

TEST_F(PortTableStore, SaveCreatesMissingParentsAndLeavesCursorIdle)
{
    DeleteTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Orvanta");
    ASSERT_TRUE(AppendPort(new VirtualPort));
    ASSERT_TRUE(AppendPort(new VirtualPort));
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(nullptr, PortTable.cursor);
    EXPECT_EQ(2u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, EntryPath(1)));
}

// ---------------------------------------------------------------------------
// List operations and change notification

TEST_F(PortTableStore, NodeRemovalKeepsListAndClearsCursor)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(AppendPort(new FakePtpPort));
    PortTable.cursor = PortTableNodeAt(3);
    Port* tailPort = PortTable.tail->port;
    RemovePortTableNode(PortTable.tail);
    delete tailPort;
    EXPECT_EQ(nullptr, PortTable.cursor);
    ExpectConsistentList();

    PortTable.cursor = PortTableNodeAt(1);
    Port* headPort = PortTable.head->port;
    RemovePortTableNode(PortTable.head);
    delete headPort;
    EXPECT_NE(nullptr, PortTable.cursor) << "cursor on another node stays";
    ExpectConsistentList();
    EXPECT_EQ(nullptr, PortTableNodeAt(2));
    EXPECT_EQ(nullptr, PortTableNodeAt(-1));

    int live = LiveTestPorts;
    FreePortTable();
    EXPECT_EQ(live - 2, LiveTestPorts);
    ExpectConsistentList();
}

namespace {
int callbackCalls = 0;
HWND callbackWindow = nullptr;
BYTE callbackFlag = 0xFF;
void WINAPI RecordChange(HWND window, BYTE changed)
{
    ++callbackCalls;
    callbackWindow = window;
    callbackFlag = changed;
}
}  // namespace

TEST_F(PortTableStore, NotifyChangedCallsTheRegisteredCallback)
{
    callbackCalls = 0;
    NotifyChanged(1);
    EXPECT_EQ(0, callbackCalls);

    ChangeCallback = RecordChange;
    PortTableDialog = reinterpret_cast<HWND>(0x1234);
    NotifyChanged(1);
    EXPECT_EQ(1, callbackCalls);
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), callbackWindow);
    EXPECT_EQ(1, callbackFlag);
    NotifyChanged(0);
    EXPECT_EQ(0, callbackFlag);
}
