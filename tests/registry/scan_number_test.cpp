#include <gtest/gtest.h>
#include <windows.h>

#include "registry/scan_number.h"

// ScanInt reads what msvcrt.dll's "%i" reads (value and end); no number leaves value and end alone.
TEST(ScanInt, ReadsWhatTheSystemRuntimeReads)
{
    typedef int(__cdecl * ScanFunction)(const char*, const char*, ...);
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    auto scan = reinterpret_cast<ScanFunction>(
        reinterpret_cast<void*>(runtime ? GetProcAddress(runtime, "sscanf") : nullptr));
    ASSERT_NE(nullptr, scan) << "msvcrt.dll has no sscanf here";
    for (const char* text :
         {"0",        "-17",   "+17",   "0X1aF", "-0x1a", "017",        "08",          "0779",
          "10.0.0.1", "0x1fg", " \t-3", "12abc", "0x0",   "4294967296", "99999999999", "-2147483649",
          "0x",       "0xg",   "-0x",   "x1",    "",      "- 1",        "\xFF"}) {
        int expected = 12345, used = -1;
        bool number = scan(text, "%i%n", &expected, &used) == 1;
        int32_t value = 12345;
        const char* end = nullptr;
        bool scanned = ScanInt(text, value, &end);
        EXPECT_EQ(std::make_tuple(number, expected, number ? text + used : nullptr),
                  std::make_tuple(scanned, value, end))
            << '"' << text << '"';
    }
    int32_t value = 99;
    EXPECT_FALSE(ScanInt(nullptr, value));
}

// FormatDecimal writes what "%s%u" writes, cut to the buffer like snprintf, and says whether it all fitted.
TEST(FormatDecimal, WritesWhatPrintfWrites)
{
    for (uint32_t value : {0u, 10u, 65535u, 4294967295u})
        for (size_t size : {1u, 5u, 7u, 16u}) {
            char expected[16], written[16];
            std::string fits = std::to_string(snprintf(expected, size, "Entry%u", value) < int(size));
            EXPECT_EQ(fits + expected,
                      std::to_string(FormatDecimal(written, size, "Entry", value)) + written);
        }
}
