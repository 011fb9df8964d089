// The Windows NT 4.0 adapter source: the driver's "Bind" list in the
// registry, whatever shape the stored value has.
#include <gtest/gtest.h>

#include <string.h>

#include "ports/kinds/adapters_nt4.h"
#include "support/test_adapters.h"

namespace {

std::vector<std::string> Entries()
{
    BindList list;
    EXPECT_TRUE(ReadBindList(list));
    std::vector<std::string> entries;
    for (const char* entry = list.First(); entry; entry = list.Next(entry))
        entries.push_back(entry);
    return entries;
}

std::string Reconcile(const std::string& stored, bool expected)
{
    char nic[NicCapacity];
    CopyNic(nic, sizeof(nic), stored.c_str());
    EXPECT_EQ(expected, ReconcileAdapterNt4(nic, sizeof(nic))) << "stored " << stored;
    return nic;
}

typedef std::vector<std::string> Strings;

}  // namespace

TEST(BindListNt4, MissingValueReadsAsDefaultAlone)
{
    TestBindList bind;
    bind.Remove();
    EXPECT_EQ(Strings{"Default"}, Entries());
    EXPECT_EQ("Default", Reconcile("Default", true));
    EXPECT_EQ("Default", Reconcile("B", true));
}

TEST(BindListNt4, EntriesComeInStoredOrder)
{
    TestBindList bind;
    bind.Set({"\\Device\\El90x1", "\\Device\\NdisWan5", "\\Device\\El90x1"});
    EXPECT_EQ((Strings{"\\Device\\El90x1", "\\Device\\NdisWan5", "\\Device\\El90x1"}), Entries());
}

TEST(BindListNt4, ReconcileKeepsAListedAdapterElseTakesTheFirst)
{
    TestBindList bind;
    bind.Set({"A", "B"});
    EXPECT_EQ("B", Reconcile("B", true));
    EXPECT_EQ("A", Reconcile("A", true));
    EXPECT_EQ("A", Reconcile("C", true));
    EXPECT_EQ("A", Reconcile("", true));
    EXPECT_EQ("A", Reconcile("b", true)) << "names are compared exactly";
    EXPECT_EQ("A", Reconcile("Default", true));
}

TEST(BindListNt4, DefaultIsReplacedEvenWhenListed)
{
    TestBindList bind;
    bind.Set({"A", "Default"});
    EXPECT_EQ("A", Reconcile("Default", true));
}

// An empty list names no adapter: the port falls back to "Default" rather
// than to an empty name.
TEST(BindListNt4, EmptyListNamesNoAdapter)
{
    TestBindList bind;
    bind.SetRaw("\0", 1);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ("B", Reconcile("B", false));
    bind.SetRaw("", 0);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ("Default", Reconcile("Default", false));
}

TEST(BindListNt4, ListWithoutItsClosingNulsIsClosedOnRead)
{
    TestBindList bind;
    bind.SetRaw("A\0B", 3);
    EXPECT_EQ((Strings{"A", "B"}), Entries());
    EXPECT_EQ("B", Reconcile("B", true));
    bind.SetRaw("A\0BC\0", 5);
    EXPECT_EQ((Strings{"A", "BC"}), Entries());
    bind.SetRaw("X", 1);
    EXPECT_EQ(Strings{"X"}, Entries());
}

TEST(BindListNt4, ValueOfAnotherTypeIsReadAsItsBytes)
{
    TestBindList bind;
    bind.SetRaw("A\0B\0", 5, REG_BINARY);
    EXPECT_EQ((Strings{"A", "B"}), Entries());
}

TEST(BindListNt4, EntriesLongerThanANicAreCutWhenCopied)
{
    TestBindList bind;
    std::string longEntry(300, 'L');
    std::string fullEntry(255, 'F');
    bind.Set({longEntry, fullEntry});
    EXPECT_EQ((Strings{longEntry, fullEntry}), Entries());
    EXPECT_EQ(std::string(255, 'L'), Reconcile("Default", true));
    EXPECT_EQ(fullEntry, Reconcile(fullEntry, true));
}

TEST(BindListNt4, CopyIntoASmallNicStaysTerminated)
{
    TestBindList bind;
    bind.Set({"ABCDEFGH"});
    char nic[5] = "xy";
    EXPECT_TRUE(ReconcileAdapterNt4(nic, sizeof(nic)));
    EXPECT_STREQ("ABCD", nic);
}
