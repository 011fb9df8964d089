// The faults the random Port Tables found, each as a fixed case.
#include <gtest/gtest.h>

#include <string>

#include "ports/kinds/bdt_text.h"

// A broadcast distribution entry read from a damaged stored text held
// "/UDP:" in its IP text; stored as it was, the next load read that as the
// port, so a second save wrote another entry than the first. A text that
// would not read back is stored empty; the stored text reads back the same.
TEST(FoundCases, StoredBdtEntryReadsBackTheSame)
{
    const struct {
        BdtEntry entry;
        const char* stored;
    } cases[] = {
        {{"10.0.0.1 /UDP:", "0xBAC0", ""}, "/IP:\"\" /UDP:\"0xBAC0\" /SUBNET:\"\""},
        {{"10.0.0.1", "47808", "x-SUBNET:"}, "/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"\""},
        {{"10.0.0.1\"", "-1", "255.255.255.0"}, "/IP:\"\" /UDP:\"\" /SUBNET:\"255.255.255.0\""},
        {{"10.0.0.1", "0xBAC0", "255.255.255.0"},
         "/IP:\"10.0.0.1\" /UDP:\"0xBAC0\" /SUBNET:\"255.255.255.0\""},
    };
    for (const auto& c : cases) {
        char first[80], second[80];
        ASSERT_TRUE(FormatBdtEntry(c.entry, first, sizeof(first)));
        EXPECT_STREQ(c.stored, first);
        ASSERT_TRUE(FormatBdtEntry(ParseBdtEntry(first), second, sizeof(second)));
        EXPECT_STREQ(first, second);
    }
}
