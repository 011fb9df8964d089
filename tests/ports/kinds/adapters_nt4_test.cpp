// The Windows NT 4.0 adapter source: the driver's "Bind" list in the
// registry, whatever shape the stored value has.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_nt4.h"
#include "support/test_adapters.h"

using namespace std::string_literals;

namespace {

typedef std::vector<std::string> Strings;

// What ReconcileAdapterNt4 answers for a stored nic.
struct Reconciled {
    std::string stored;
    bool ok;
    std::string result;
};
// A "Bind" value (or none), the entries read from it, and reconciled nics.
struct BindCase {
    const char* what;
    bool present;
    std::string raw;
    Strings entries;
    std::vector<Reconciled> reconciled;
    DWORD type = REG_MULTI_SZ;
};

}  // namespace

TEST(BindListNt4, EntriesAndReconcileForEveryShapeOfTheValue)
{
    const std::string l300(300, 'L'), f255(255, 'F');
    const BindCase cases[] = {
        {"missing", false, "", {"Default"}, {{"Default", true, "Default"}, {"B", true, "Default"}}},
        {"A,B",
         true,
         "A\0B\0\0"s,
         {"A", "B"},
         {{"B", true, "B"},
          {"A", true, "A"},
          {"C", true, "A"},
          {"", true, "A"},
          {"b", true, "A"},
          {"Default", true, "A"}}},
        {"stored order, duplicates too", true, "B\0A\0B\0\0"s, {"B", "A", "B"}, {{"A", true, "A"}}},
        {"Default listed", true, "A\0Default\0\0"s, {"A", "Default"}, {{"Default", true, "A"}}},
        {"empty list", true, "\0"s, {}, {{"B", false, "B"}}},
        {"zero bytes", true, ""s, {}, {{"Default", false, "Default"}}},
        {"not closed", true, "A\0B"s, {"A", "B"}, {{"B", true, "B"}}},
        {"last entry not closed", true, "A\0BC\0"s, {"A", "BC"}, {}},
        {"binary", true, "A\0B\0"s, {"A", "B"}, {}, REG_BINARY},
        {"entry longer than a nic",
         true,
         l300 + '\0' + f255 + '\0' + '\0',
         {l300, f255},
         {{"Default", true, std::string(255, 'L')}, {f255, true, f255}}},
    };
    for (const BindCase& row : cases) {
        SCOPED_TRACE(row.what);
        RegistrySandbox linkage(HKEY_LOCAL_MACHINE, LinkagePath);
        if (row.present)
            SetBind(row.raw, row.type);
        BindList list;
        ASSERT_TRUE(ReadBindList(list));
        Strings entries;
        for (const char* entry = list.First(); entry; entry = list.Next(entry))
            entries.push_back(entry);
        EXPECT_EQ(row.entries, entries);
        for (const Reconciled& r : row.reconciled) {
            char nic[NicCapacity];
            CopyNic(nic, sizeof(nic), r.stored.c_str());
            EXPECT_EQ(r.ok, ReconcileAdapterNt4(nic, sizeof(nic))) << "stored " << r.stored;
            EXPECT_EQ(r.result, nic) << "stored " << r.stored;
        }
    }
}
