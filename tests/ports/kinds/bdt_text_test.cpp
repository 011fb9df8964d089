// The entry texts of a broadcast distribution table, without Windows (also
// built natively with the sanitizers).
#include <gtest/gtest.h>

#include <string.h>

#include "ports/kinds/bdt_text.h"

// A text copied into a field is cut to the field and always terminated; a
// null text reads as empty.
TEST(BdtText, CopyCutsToTheFieldAndReadsNullAsEmpty)
{
    const struct {
        const char* text;
        size_t size;
        const char* expected;
    } rows[] = {
        {"10.0.0.1", 24, "10.0.0.1"}, {"47808", 4, "478"}, {"x", 1, ""}, {nullptr, 7, ""}, {nullptr, 1, ""},
    };
    for (const auto& row : rows) {
        char field[32];
        memset(field, 'Z', sizeof(field));
        CopyBdtText(field, row.size, row.text);
        EXPECT_STREQ(row.expected, field) << (row.text ? row.text : "(null)") << " into " << row.size;
        EXPECT_EQ('Z', field[row.size]) << "wrote past the field";
    }
}
