// The Windows NT 4.0 adapter source: the driver's "Bind" list.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_nt4.h"
#include "support/test_adapters.h"

// Every shape of "Bind" (missing, empty, unclosed), case-sensitive matching,
// a stored "Default" never kept, a nic cut to its buffer.
TEST(BindListNt4, EntriesAndReconcileForEveryShapeOfTheValue)
{
    const std::string l300(300, 'L');
    // Stored "Bind" ('|' for NUL, "-" for none), its entries, a stored nic and
    // what reconciling makes of it ("!": false, nic untouched).
    const std::string rows[][4] = {
        {"-", "Default,", "B", "Default"},
        {"A|B||", "A,B,", "b", "A"},
        {"A|Default||", "A,Default,", "Default", "A"},
        {"|", "", "B", "!"},
        {"", "", "Default", "!"},
        {"A|B", "A,B,", "B", "B"},
        {l300 + "|F||", l300 + ",F,", "Default", l300.substr(0, 255)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0].substr(0, 12) + " with " + row[2]);
        RegistrySandbox linkage(HKEY_LOCAL_MACHINE, LinkagePath);
        if (row[0] != "-")
            SetBind(row[0]);
        BindList list;
        ASSERT_TRUE(ReadBindList(list));
        std::string entries;
        for (const char* entry = list.First(); entry; entry = list.Next(entry))
            entries += std::string(entry) + ",";
        EXPECT_EQ(row[1], entries);
        char nic[NicCapacity];
        CopyNic(nic, sizeof(nic), row[2].c_str());
        EXPECT_EQ(row[3] != "!", ReconcileAdapterNt4(nic, sizeof(nic)));
        EXPECT_EQ(row[3] == "!" ? row[2] : row[3], nic);
    }
}
