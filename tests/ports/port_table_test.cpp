#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/debug_output.h"
#include "support/entry_values.h"
#include "support/test_ports.h"
#include "tolmarin.h"

// Each key the registry layer creates, with '*' when it gets the all-access attributes.
std::string Created;
LONG WINAPI RecordCreate(HKEY parent, LPCSTR name, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, LPSECURITY_ATTRIBUTES attributes, PHKEY key, LPDWORD disposition)
{
    Created += std::string(name) + (attributes ? "* " : " ");
    return RegCreateKeyExA(parent, name, reserved, keyClass, options, access, attributes, key, disposition);
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
        RegKey::CreateKeyCall = RegCreateKeyExA;
    }
    static void Store(int position, DWORD type, DWORD protocol, DWORD port, DWORD network = 1)
    {
        StoreEntry(position, {{"Type", type}, {"Protocol", protocol}, {"Port", port}, {"Dnet", network}});
    }
    static DWORD Stored(int at, const char* v) { return GetDword(HKEY_LOCAL_MACHINE, EntryPath(at), v); }
    static Port* At(int position) { return PortTableNodeAt(position)->port; }
    // The list's count, and its nodes counted both ways.
    static std::vector<int> Counts()
    {
        std::vector<int> counts{PortTable.count, 0, 0};
        for (PortTableNode* n = PortTable.head; n; n = n->next)
            ++counts[1];
        for (PortTableNode* n = PortTable.tail; n; n = n->previous)
            ++counts[2];
        return counts;
    }
};

// At most 255 entries read in order; the class from type and protocol (an unknown point-to-point protocol
// dropped, an unknown type and a missing entry Ethernet), saved back as such; a count of 0 clears the key.
TEST_F(PortTableStore, CountOrderAndFactory)
{
    EXPECT_TRUE(LoadPortTable()) << "a missing table loads empty";
    EXPECT_EQ(0, PortTable.count);
    StoreEntryCount(300);
    Store(0, 2, 5, 4);  // dropped
    Store(1, 1, 9, 8);  // virtual whatever its protocol
    Store(3, 7, 3, 6);  // unknown type: Ethernet; position 2 missing
    for (int i = 4; i < 300; ++i)
        Store(i, 1, 0, 1, DWORD(i));
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ((std::vector<int>{254, 254, 254}), Counts());
    EXPECT_EQ((std::vector<int>{KindVirtual, KindPhysical, KindPhysical, KindVirtual}),
              (std::vector<int>{At(0)->GetKind(), At(1)->GetKind(), At(2)->GetKind(), At(3)->GetKind()}));
    EXPECT_EQ("0 4 254", std::string(At(1)->GetPortIdText()) + " " + At(3)->GetNetworkText() + " " +
                             At(253)->GetNetworkText());
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ((std::vector<DWORD>{0, 8, 0, 0, 6}),
              (std::vector<DWORD>{Stored(0, "Protocol"), Stored(0, "Port"), Stored(2, "Type"),
                                  Stored(2, "Protocol"), Stored(2, "Port")}));
    StoreEntryCount(0);
    EXPECT_TRUE(LoadPortTable());
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ("0 0", std::to_string(PortTable.count) + " " +
                         std::to_string(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries")));
    EXPECT_EQ(std::vector<std::string>{}, SubkeyNames(HKEY_LOCAL_MACHINE, TablePath));
}

// Only the table key and the keys below it get the all-access attributes. A table that cannot be stored
// (no lasting key below a volatile one) fails the save, which control code 4 reports in the debug output.
TEST_F(PortTableStore, SaveLinkEntriesAndNodes)
{
    std::string parent = ServicePath + std::string("\\Parameters\\Nl");
    SetDword(HKEY_LOCAL_MACHINE, parent, "Port_Table", 1);  // a value named like the table key
    for (unsigned id = 1; id <= 3; ++id)
        ASSERT_TRUE(AppendPort(new VirtualPortWith(id, 1)));
    Created.clear();
    RegKey::CreateKeyCall = RecordCreate;
    ASSERT_TRUE(SavePortTable());
    const std::string ancestors = "SYSTEM CurrentControlSet Services Orvanta Parameters Nl ";
    EXPECT_EQ(ancestors + ancestors + "Port_Table* Entry0* Entry1* Entry2* ", Created);  // parents twice
    EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, parent, "Port_Table", nullptr, nullptr));
    EXPECT_EQ(3u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));

    DeleteTree(HKEY_LOCAL_MACHINE, parent);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, nullptr,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    DebugOutput debug;
    EXPECT_EQ(1, OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(2u, debug.Lines().size());

    // An entry made a link to another key loads as a missing one, takes no writes, and the save
    // deletes the link itself, never the key it points to.
    TearDown();
    StoreEntryCount(1);
    StoreValues(HKEY_LOCAL_MACHINE, LinkTarget, "Port=#9;Type=#1;Bip\\Kept=#1");
    RegistryLink link(HKEY_LOCAL_MACHINE, EntryPath(0), LinkTarget);
    ASSERT_EQ(9u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port")) << "the link works";
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ("1 0 0", std::to_string(PortTable.count) + " " + std::to_string(At(0)->GetKind()) + " " +
                           At(0)->GetPortIdText())
        << "a default Ethernet port, not the target's values";
    EXPECT_FALSE(RegWriteKey(RegWriteKey(HKEY_LOCAL_MACHINE, EntryPath(0).c_str()).Handle(), "Bip")
                     .WriteDword("Written", 1));
    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(ParseValues("Port=#9;Type=#1;Bip\\Kept=#1"), ReadValues(HKEY_LOCAL_MACHINE, LinkTarget));
    EXPECT_EQ(0u, Stored(0, "Port")) << "the entry is a key of its own again";

    TearDown();
    // The cursor goes with its node only; swaps and positions outside the list get nothing; a load
    // unlinks the nodes but leaves their ports to the caller.
    Port* ports[4];
    for (Port*& port : ports)
        ASSERT_TRUE(AppendPort(port = new FakePtpPort));
    PortTable.cursor = PortTable.tail;
    RemovePortTableNode(PortTable.tail);
    EXPECT_EQ(nullptr, PortTable.cursor) << "cleared with its node";
    PortTable.cursor = PortTableNodeAt(1);
    RemovePortTableNode(PortTable.head);
    EXPECT_NE(nullptr, PortTable.cursor) << "a cursor on another node stays";
    EXPECT_EQ((std::vector<int>{2, 2, 2}), Counts());
    EXPECT_EQ((std::vector<bool>{false, false, false, false, true}),
              (std::vector<bool>{PortTableNodeAt(2) != nullptr, PortTableNodeAt(-1) != nullptr,
                                 SwapPortTableEntries(0, 2), SwapPortTableEntries(-1, 0),
                                 SwapPortTableEntries(1, 0)}));
    EXPECT_EQ((std::vector<Port*>{ports[2], ports[1]}), (std::vector<Port*>{At(0), At(1)}));
    int live = LiveTestPorts;
    ASSERT_TRUE(LoadPortTable());
    EXPECT_EQ("0 0", std::to_string(PortTable.count) + " " + std::to_string(LiveTestPorts - live));
    for (Port* port : ports)
        delete port;
}
