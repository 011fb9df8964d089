// The Windows NT 4.0 adapter source: the driver's "Bind" list.
#include <gtest/gtest.h>

#include "ports/kinds/adapters_nt4.h"
#include "support/test_adapters.h"

// Stored "Bind" ('|' for NUL, "-" for none), its entries, a stored nic and what reconciling makes of it
// ("!": false, nic untouched): every shape, case-sensitive, "Default" never kept, a nic cut to its buffer.
TEST(BindListNt4, EntriesAndReconcileForEveryShapeOfTheValue)
{
    const std::string l300(300, 'L');
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
        RegistrySandbox linkage(HKEY_LOCAL_MACHINE, LinkagePath);
        if (row[0] != "-")
            SetBind(row[0]);
        BindList list;
        ASSERT_TRUE(ReadBindList(list));
        std::string entries;
        for (const char* entry = list.First(); entry; entry = list.Next(entry))
            entries += std::string(entry) + ",";
        char nic[NicCapacity];
        CopyNic(nic, sizeof(nic), row[2].c_str());
        bool reconciled = ReconcileAdapterNt4(nic, sizeof(nic));
        EXPECT_EQ(row[1] + " " + (row[3] == "!" ? "0 " + row[2] : "1 " + row[3]),
                  entries + " " + std::to_string(reconciled) + " " + nic)
            << row[0].substr(0, 12) << " with " << row[2];
    }
}
