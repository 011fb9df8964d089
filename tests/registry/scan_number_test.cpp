#include <gtest/gtest.h>

#include <windows.h>

#include "registry/scan_number.h"

TEST(ScanInt, ValueAndEndOfEachForm)
{
    const struct {
        const char* text;
        int32_t value;
        int used;  // -1: no number
    } cases[] = {
        {"0x2E0", 736, 5},   {"010", 8, 3},          {"08", 0, 1},          {"0179", 15, 3},
        {"10.0.0.1", 10, 2}, {"0x1fg", 0x1f, 4},     {"-0x10", -16, 5},     {" \t-3", -3, 4},
        {"+7", 7, 2},        {"4294967295", -1, 10}, {"4294967296", 0, 10}, {"-2147483648", INT32_MIN, 11},
        {"0x", 0, -1},       {"0xg", 0, -1},         {"- 5", 0, -1},        {"", 0, -1},
        {"abc", 0, -1},      {"\xFF", 0, -1},
    };
    for (const auto& c : cases) {
        int32_t value = 12345;
        const char* end = nullptr;
        bool scanned = ScanInt(c.text, value, &end);
        EXPECT_EQ(c.used >= 0, scanned) << '"' << c.text << '"';
        if (c.used >= 0) {
            EXPECT_EQ(c.value, value) << '"' << c.text << '"';
            EXPECT_EQ(c.text + c.used, end) << '"' << c.text << '"';
        } else {
            EXPECT_EQ(12345, value) << "value left alone for \"" << c.text << '"';
            EXPECT_EQ(nullptr, end);
        }
    }
    int32_t value = 99;
    EXPECT_FALSE(ScanInt(nullptr, value));
}

// The system's C runtime (msvcrt.dll, not the C99 scan that mingw links into
// this program) agrees on every text, overlong numbers included.
TEST(ScanInt, AgreesWithTheSystemRuntime)
{
    typedef int(__cdecl * ScanFunction)(const char*, const char*, ...);
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    FARPROC address = runtime ? GetProcAddress(runtime, "sscanf") : nullptr;
    ScanFunction scan = reinterpret_cast<ScanFunction>(reinterpret_cast<void*>(address));
    if (!scan)
        GTEST_SKIP() << "msvcrt.dll has no sscanf here";
    for (const char* text : {"0",    "-17",   "+17", "0X1a", "-0x1a",       "017",        "09", "0779",
                             "\t-4", "12abc", "0x0", "1e5",  "0x7fffffff",  "4294967296", "0x", "0xg",
                             "-0x",  "x1",    "",    "- 1",  "99999999999", "-2147483649"}) {
        int expected = 0;
        int count = scan(text, "%i", &expected);
        int32_t value = 0;
        EXPECT_EQ(count == 1, ScanInt(text, value)) << '"' << text << '"';
        if (count == 1)
            EXPECT_EQ(expected, value) << '"' << text << '"';
    }
}
