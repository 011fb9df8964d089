#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/change_recorder.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"

namespace {

// Every test starts and ends with no stored table and an empty list.
class PortTableStore : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        FreePortTable();
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        ChangeCallback = nullptr;
        PortTableDialog = nullptr;
    }

    static void Store(int position, DWORD type, DWORD protocol, DWORD port, DWORD network = 1)
    {
        StoreEntry(position, {{"Type", type}, {"Protocol", protocol}, {"Port", port}, {"Dnet", network}});
    }
    static DWORD Stored(int position, const char* name)
    {
        return GetDword(HKEY_LOCAL_MACHINE, EntryPath(position), name);
    }
    static Port* At(int position) { return PortTableNodeAt(position)->port; }

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
    }
};

}  // namespace

TEST_F(PortTableStore, CountDecidesWhatIsLoaded)
{
    EXPECT_TRUE(LoadPortTable()) << "a missing table loads empty";
    EXPECT_EQ(0, PortTable.count);

    Store(0, 1, 0, 1);
    StoreEntryCount(0xFFFFFFFF);
    EXPECT_FALSE(LoadPortTable()) << "negative count";
    StoreEntryCount(0x80000000);
    EXPECT_FALSE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);

    StoreEntryCount(0);
    EXPECT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count) << "leftover entries are not loaded";
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_TRUE(SubkeyNames(HKEY_LOCAL_MACHINE, TablePath).empty()) << "and the next save deletes them";
}

TEST_F(PortTableStore, AtMost255EntriesAreLoadedInOrder)
{
    StoreEntryCount(300);
    for (int i = 0; i < 300; ++i)
        Store(i, 1, 0, DWORD(i % 255 + 1), DWORD(i + 1));
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(255, PortTable.count);
    EXPECT_STREQ("1", At(0)->GetNetworkText());
    EXPECT_STREQ("255", At(254)->GetNetworkText());
    ExpectConsistentList();
}

TEST_F(PortTableStore, FactoryChoosesTheClassByTypeAndProtocol)
{
    StoreEntryCount(5);
    Store(0, 2, 5, 4);  // point-to-point of an unknown protocol: dropped
    Store(1, 1, 9, 8);  // virtual whatever its protocol
    // position 2 missing: a default Ethernet port
    Store(3, 7, 3, 6);  // unknown type: Ethernet
    Store(4, 0, 0, 9);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(4, PortTable.count);
    EXPECT_EQ(KindVirtual, At(0)->GetKind());
    EXPECT_EQ(KindPhysical, At(1)->GetKind());
    EXPECT_STREQ("0", At(1)->GetPortIdText());
    EXPECT_FALSE(At(1)->IsValid()) << "the missing entry fails validation";
    EXPECT_EQ(KindPhysical, At(2)->GetKind());
    EXPECT_EQ(KindPhysical, At(3)->GetKind());

    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(4u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(4u, SubkeyNames(HKEY_LOCAL_MACHINE, TablePath).size());
    EXPECT_EQ(0u, Stored(0, "Protocol")) << "virtual saved back with protocol 0";
    EXPECT_EQ(8u, Stored(0, "Port"));
    EXPECT_EQ(0u, Stored(2, "Type")) << "unknown type saved back as Ethernet";
    EXPECT_EQ(0u, Stored(2, "Protocol"));
    EXPECT_EQ(6u, Stored(2, "Port"));
}

TEST_F(PortTableStore, RoundTripIsByteForByteAfterNormalisation)
{
    StoreEntryCount(2);
    Store(0, 1, 0, 0x105, 0x10007);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Connected", 5);
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Unknown", "dropped");
    Store(1, 1, 0, 6, 65534);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Connected", 0);
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Stray", 1);
    ASSERT_TRUE(LoadPortTable());
    ASSERT_TRUE(SavePortTable());

    std::vector<std::string> names{"Connected", "Dnet", "Port", "Protocol", "Type"};
    EXPECT_EQ(names, SortedValueNames(HKEY_LOCAL_MACHINE, EntryPath(0)));
    EXPECT_EQ(std::vector<std::string>{"Num_Entries"}, ValueNames(HKEY_LOCAL_MACHINE, TablePath));
    EXPECT_EQ(7u, Stored(0, "Dnet"));
    EXPECT_EQ(5u, Stored(0, "Port"));
    EXPECT_EQ(1u, Stored(0, "Connected"));
    EXPECT_EQ(0u, Stored(1, "Connected"));
    EXPECT_EQ(65534u, Stored(1, "Dnet"));

    std::vector<BYTE> before, after;
    GetRaw(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet", nullptr, &before);
    FreePortTable();
    ASSERT_TRUE(LoadPortTable());
    ASSERT_TRUE(SavePortTable());
    GetRaw(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet", nullptr, &after);
    EXPECT_EQ(before, after) << "a second load and save changes nothing";
}

TEST_F(PortTableStore, SaveRewritesTheWholeKey)
{
    // A value named like the table key, and missing parents.
    std::string parent = "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl";
    DeleteTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Orvanta");
    SetDword(HKEY_LOCAL_MACHINE, parent, "Port_Table", 1);
    for (int i = 0; i < 3; ++i) {
        VirtualPort* port = new VirtualPort;
        port->SetPortId(unsigned(i + 1));
        ASSERT_TRUE(AppendPort(port));
    }
    ASSERT_TRUE(SavePortTable());
    EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, parent, "Port_Table", nullptr, nullptr));
    EXPECT_EQ(3u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(nullptr, PortTable.cursor);

    PortTableNode* middle = PortTableNodeAt(1);
    Port* port = middle->port;
    RemovePortTableNode(middle);
    delete port;
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ((std::vector<std::string>{"Entry0", "Entry1"}), SubkeyNames(HKEY_LOCAL_MACHINE, TablePath));
    EXPECT_EQ(3u, Stored(1, "Port")) << "entries move up, none of the longer table stays";
}

TEST_F(PortTableStore, NodeRemovalKeepsTheListAndLoadNeverDestroysPorts)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(AppendPort(new FakePtpPort));
    PortTable.cursor = PortTable.tail;
    Port* tailPort = PortTable.tail->port;
    RemovePortTableNode(PortTable.tail);
    delete tailPort;
    EXPECT_EQ(nullptr, PortTable.cursor) << "cleared with its node";
    PortTable.cursor = PortTableNodeAt(1);
    Port* headPort = PortTable.head->port;
    RemovePortTableNode(PortTable.head);
    delete headPort;
    EXPECT_NE(nullptr, PortTable.cursor) << "a cursor on another node stays";
    ExpectConsistentList();
    EXPECT_EQ(nullptr, PortTableNodeAt(2));
    EXPECT_EQ(nullptr, PortTableNodeAt(-1));

    // Load unlinks the nodes but leaves their ports to the caller.
    Port* kept[2] = {At(0), At(1)};
    int live = LiveTestPorts;
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    EXPECT_EQ(live, LiveTestPorts);
    delete kept[0];
    delete kept[1];
}

TEST_F(PortTableStore, NotifyChangedCallsTheRegisteredCallback)
{
    NotifyChanged(1);
    EXPECT_EQ(0, Changes.calls);
    ChangeCallback = RecordChange;
    PortTableDialog = reinterpret_cast<HWND>(0x1234);
    NotifyChanged(1);
    EXPECT_EQ(1, Changes.calls);
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), Changes.window);
    EXPECT_EQ(1, Changes.changed);
    NotifyChanged(0);
    EXPECT_EQ(0, Changes.changed);
}
