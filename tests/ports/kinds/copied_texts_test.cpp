// The helpers that copy a stored text into a fixed field (the adapter name,
// the texts of a broadcast distribution table entry), without Windows: also
// built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string.h>

#include "ports/kinds/adapter_name.h"
#include "ports/kinds/bdt_text.h"

// A text copied into a field is cut to the field and always terminated; a
// null text reads as empty (and never reaches memmove, which is undefined
// for a null source even when it copies nothing).
TEST(CopiedTexts, CutToTheFieldAndNullReadsAsEmpty)
{
    const struct {
        const char* text;
        size_t size;
        const char* expected;
    } rows[] = {
        {"10.0.0.1", 24, "10.0.0.1"}, {"47808", 4, "478"}, {"x", 1, ""}, {nullptr, 7, ""}, {nullptr, 1, ""},
    };
    void (*const copies[])(char*, size_t, const char*) = {CopyNic, CopyBdtText};
    for (auto copy : copies) {
        for (const auto& row : rows) {
            char field[32];
            memset(field, 'Z', sizeof(field));
            copy(field, row.size, row.text);
            EXPECT_STREQ(row.expected, field) << (row.text ? row.text : "(null)") << " into " << row.size;
            EXPECT_EQ('Z', field[row.size]) << "wrote past the field";
        }
    }
}
