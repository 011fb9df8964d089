#include <gtest/gtest.h>

#include <string.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/debug_output.h"
#include "support/registry_sandbox.h"
#include "support/test_ports.h"
#include "tolmarin.h"

namespace {

using Names = std::vector<std::string>;

// Each key the registry layer creates, its name followed by '*' when it gets
// the all-access attributes.
Names Created;
LONG WINAPI RecordCreate(HKEY parent, LPCSTR name, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition)
{
    Created.push_back(std::string(name) + (attributes ? "*" : ""));
    return RegCreateKeyExA(parent, name, reserved, keyClass, options, access, attributes, key, disposition);
}

// Every write of a value of this name fails.
const char* FailingValue = "";
LONG WINAPI FailOneWrite(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (strcmp(name, FailingValue) == 0)
        return ERROR_ACCESS_DENIED;
    return RegSetValueExA(key, name, reserved, type, data, size);
}

const char LinkTarget[] = "Software\\TolmarinLinkTarget";
const char ServicePath[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta";

// Every test starts and ends with no stored table and an empty list.
class PortTableStore : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        FreePortTable();
        DeleteTree(HKEY_LOCAL_MACHINE, ServicePath);
        DeleteTree(HKEY_LOCAL_MACHINE, LinkTarget);
        ChangeCallback = nullptr;
        PortTableDialog = nullptr;
        RegKey::CreateKeyCall = RegCreateKeyExA;
        RegKey::SetValueCall = RegSetValueExA;
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
        int forward = 0, backward = 0;
        for (PortTableNode* n = PortTable.head; n; n = n->next)
            ++forward;
        for (PortTableNode* n = PortTable.tail; n; n = n->previous)
            ++backward;
        EXPECT_EQ((std::vector<int>{PortTable.count, PortTable.count}),
                  (std::vector<int>{forward, backward}));
    }
};

}  // namespace

TEST_F(PortTableStore, CountDecidesWhatIsLoaded)
{
    EXPECT_TRUE(LoadPortTable()) << "a missing table loads empty";
    EXPECT_EQ(0, PortTable.count);

    // (A negative count refuses the attach: ModuleLifecycle.NegativeCount...)
    Store(0, 1, 0, 1);
    StoreEntryCount(0);
    EXPECT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count) << "leftover entries are not loaded";
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(Names{}, SubkeyNames(HKEY_LOCAL_MACHINE, TablePath)) << "and the next save deletes them";
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
    EXPECT_EQ(KindPhysical, At(2)->GetKind());
    EXPECT_EQ(KindPhysical, At(3)->GetKind());

    // Virtual saved back with protocol 0, the unknown type as Ethernet.
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ((std::vector<DWORD>{0, 8, 0, 0, 6}),
              (std::vector<DWORD>{Stored(0, "Protocol"), Stored(0, "Port"), Stored(2, "Type"),
                                  Stored(2, "Protocol"), Stored(2, "Port")}));
}

// Only the table key and the keys below it are created with the all-access
// attributes: a missing parent keeps the default security of its place.
// (Leftover entries of a longer table: CountDecidesWhatIsLoaded.)
TEST_F(PortTableStore, SaveRewritesTheWholeKey)
{
    // A value named like the table key, and missing parents.
    std::string parent = ServicePath + std::string("\\Parameters\\Nl");
    SetDword(HKEY_LOCAL_MACHINE, parent, "Port_Table", 1);
    for (unsigned id = 1; id <= 3; ++id)
        ASSERT_TRUE(AppendPort(new VirtualPortWith(id, 1)));
    Created.clear();
    RegKey::CreateKeyCall = RecordCreate;
    ASSERT_TRUE(SavePortTable());
    const Names ancestors{"SYSTEM", "CurrentControlSet", "Services", "Orvanta", "Parameters", "Nl"};
    Names expected = ancestors;  // deleting the table creates its parents
    expected.insert(expected.end(), ancestors.begin(), ancestors.end());
    expected.insert(expected.end(), {"Port_Table*", "Entry0*", "Entry1*", "Entry2*"});
    EXPECT_EQ(expected, Created);
    EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, parent, "Port_Table", nullptr, nullptr));
    EXPECT_EQ(3u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(nullptr, PortTable.cursor);
}

// A table that cannot be stored (no lasting key below a volatile one) fails
// the save, which control code 4 does not pass on.
TEST_F(PortTableStore, FailedSaveIsReportedOnlyInTheDebugOutput)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(ServicePath) + "\\Parameters\\Nl").c_str(), 0,
                              nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    DebugOutput debug;
    EXPECT_EQ(1, OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ((Names{"TOLMARIN: SAAllAccess::SAAllAccess ()\n",
                     "TOLMARIN: the Port Table could not be written.\n"}),
              debug.Lines());
}

// A port's save stops at its first failed write, keeping the values before
// it; the table save goes on and reports success.
TEST_F(PortTableStore, PortSaveStopsAtTheFirstFailedWrite)
{
    const struct {
        const char* failing;
        Names stored;  // the values of "Entry0"
    } cases[] = {
        {"Dnet", {}},
        {"Protocol", {"Dnet", "Type"}},
        {"Connected", {"Dnet", "Port", "Protocol", "Type"}},
    };
    ASSERT_TRUE(AppendPort(new VirtualPort));
    RegKey::SetValueCall = FailOneWrite;
    for (const auto& c : cases) {
        FailingValue = c.failing;
        EXPECT_TRUE(SavePortTable()) << c.failing;
        EXPECT_EQ(c.stored, SortedValueNames(HKEY_LOCAL_MACHINE, EntryPath(0))) << c.failing;
    }
}

// Every account may write the table key, and so make an entry a link to any
// key of the machine: a link entry loads as a missing one, takes no writes,
// and the save deletes the link itself, never the key it points to.
TEST_F(PortTableStore, LinkEntriesAreNeverFollowed)
{
    StoreEntryCount(1);
    SetDword(HKEY_LOCAL_MACHINE, LinkTarget, "Type", 1);
    SetDword(HKEY_LOCAL_MACHINE, LinkTarget, "Port", 9);
    SetDword(HKEY_LOCAL_MACHINE, std::string(LinkTarget) + "\\Bip", "Kept", 1);
    RegistryLink link(HKEY_LOCAL_MACHINE, EntryPath(0), LinkTarget);
    ASSERT_EQ(9u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port")) << "the link works";
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(1, PortTable.count);
    EXPECT_EQ(KindPhysical, At(0)->GetKind());
    EXPECT_STREQ("0", At(0)->GetPortIdText()) << "defaults, not the target's values";
    {
        RegReadKey entry(HKEY_LOCAL_MACHINE, EntryPath(0).c_str());
        EXPECT_EQ(nullptr, RegReadKey(entry.Handle(), "Bip").Handle());
        RegWriteKey written(HKEY_LOCAL_MACHINE, EntryPath(0).c_str());
        EXPECT_FALSE(RegWriteKey(written.Handle(), "Bip").WriteDword("Written", 1));
    }
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ((Names{"Port", "Type"}), SortedValueNames(HKEY_LOCAL_MACHINE, LinkTarget));
    EXPECT_EQ(Names{"Kept"}, ValueNames(HKEY_LOCAL_MACHINE, std::string(LinkTarget) + "\\Bip"));
    EXPECT_EQ(0u, Stored(0, "Port")) << "the entry is a key of its own again";
}

// The cursor goes with its node only; swaps and positions outside the list
// get nothing; a load unlinks the nodes but leaves their ports to the caller.
TEST_F(PortTableStore, NodeRemovalSwapAndLoadKeepTheList)
{
    Port* ports[4];
    for (Port*& port : ports)
        ASSERT_TRUE(AppendPort(port = new FakePtpPort));
    PortTable.cursor = PortTable.tail;
    RemovePortTableNode(PortTable.tail);
    EXPECT_EQ(nullptr, PortTable.cursor) << "cleared with its node";
    PortTable.cursor = PortTableNodeAt(1);
    RemovePortTableNode(PortTable.head);
    EXPECT_NE(nullptr, PortTable.cursor) << "a cursor on another node stays";
    ExpectConsistentList();
    EXPECT_EQ(nullptr, PortTableNodeAt(2));
    EXPECT_EQ(nullptr, PortTableNodeAt(-1));
    EXPECT_FALSE(SwapPortTableEntries(0, 2));
    EXPECT_FALSE(SwapPortTableEntries(-1, 0));
    EXPECT_TRUE(SwapPortTableEntries(1, 0));
    EXPECT_EQ((std::vector<Port*>{ports[2], ports[1]}), (std::vector<Port*>{At(0), At(1)}));
    int live = LiveTestPorts;
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ(0, PortTable.count);
    EXPECT_EQ(live, LiveTestPorts);
    for (Port* port : ports)
        delete port;
}
