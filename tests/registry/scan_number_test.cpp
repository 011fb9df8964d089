#include <gtest/gtest.h>

#include <windows.h>

#include "registry/scan_number.h"

namespace {

// The number at the start of text and the number of characters it took;
// the value is 12345 and the count -1 when no number stands there.
struct Scanned {
    int32_t value;
    int used;
};

Scanned Scan(const char* text)
{
    int32_t value = 12345;
    const char* end = nullptr;
    if (!ScanInt(text, value, &end))
        return {value, -1};
    return {value, int(end - text)};
}

}  // namespace

TEST(ScanIntBases, DecimalHexadecimalOctal)
{
    EXPECT_EQ(42, Scan("42").value);
    EXPECT_EQ(736, Scan("0x2e0").value);
    EXPECT_EQ(736, Scan("0X2E0").value);
    EXPECT_EQ(0xabc, Scan("0xAbC").value);
    EXPECT_EQ(8, Scan("010").value);
    EXPECT_EQ(511, Scan("0777").value);
    EXPECT_EQ(0, Scan("0").value);
    EXPECT_EQ(1, Scan("0").used);
}

TEST(ScanIntBases, OctalStopsAtEightAndNine)
{
    Scanned eight = Scan("08");
    EXPECT_EQ(0, eight.value);
    EXPECT_EQ(1, eight.used) << "the 8 is not an octal digit";
    Scanned mixed = Scan("0179");
    EXPECT_EQ(15, mixed.value);
    EXPECT_EQ(3, mixed.used);
}

TEST(ScanIntBases, HexPrefixWithoutDigitIsNoNumber)
{
    EXPECT_EQ(-1, Scan("0x").used);
    EXPECT_EQ(-1, Scan("0xg").used);
    EXPECT_EQ(-1, Scan("-0X").used);
    EXPECT_EQ(-1, Scan("0x ").used);
    Scanned octal = Scan("00x5");
    EXPECT_EQ(0, octal.value) << "only a leading 0 may start 0x";
    EXPECT_EQ(2, octal.used);
}

TEST(ScanIntBases, StopsAtFirstForeignCharacter)
{
    Scanned dotted = Scan("10.0.0.1");
    EXPECT_EQ(10, dotted.value);
    EXPECT_EQ(2, dotted.used);
    EXPECT_EQ(12, Scan("12\xE9").value);
    EXPECT_EQ(0x1f, Scan("0x1fg").value);
    EXPECT_EQ(4, Scan("0x1fg").used);
}

TEST(ScanIntSigns, SignAndWhiteSpace)
{
    EXPECT_EQ(-5, Scan("-5").value);
    EXPECT_EQ(7, Scan("+7").value);
    EXPECT_EQ(-16, Scan("-0x10").value);
    EXPECT_EQ(-8, Scan("-010").value);
    EXPECT_EQ(0, Scan("-0").value);
    Scanned spaced = Scan(" \t\r\n\f\v5");
    EXPECT_EQ(5, spaced.value);
    EXPECT_EQ(7, spaced.used);
    EXPECT_EQ(-3, Scan("  -3").value);
}

TEST(ScanIntSigns, SignWithoutDigitsIsNoNumber)
{
    EXPECT_EQ(-1, Scan("-").used);
    EXPECT_EQ(-1, Scan("+").used);
    EXPECT_EQ(-1, Scan("- 5").used) << "no white space between sign and digits";
    EXPECT_EQ(-1, Scan("+-5").used);
    EXPECT_EQ(-1, Scan("--5").used);
}

TEST(ScanIntRange, WrapsModulo2To32)
{
    EXPECT_EQ(-1, Scan("4294967295").value);
    EXPECT_EQ(-1, Scan("0xFFFFFFFF").value);
    EXPECT_EQ(0, Scan("4294967296").value);
    EXPECT_EQ(1, Scan("0x100000001").value);
    EXPECT_EQ(INT32_MIN, Scan("2147483648").value);
    EXPECT_EQ(INT32_MIN, Scan("-2147483648").value);
    EXPECT_EQ(INT32_MAX, Scan("2147483647").value);
    EXPECT_EQ(1, Scan("-4294967295").value);
}

TEST(ScanIntBadInput, NoNumberLeavesValueAndEndAlone)
{
    for (const char* text : {"", "abc", " ", "x10", ".5", "\xFF"}) {
        int32_t value = 99;
        const char* end = nullptr;
        EXPECT_FALSE(ScanInt(text, value, &end)) << '"' << text << '"';
        EXPECT_EQ(99, value) << '"' << text << '"';
        EXPECT_EQ(nullptr, end) << '"' << text << '"';
    }
    int32_t value = 99;
    EXPECT_FALSE(ScanInt(nullptr, value));
    EXPECT_EQ(99, value);
    EXPECT_TRUE(ScanInt("5", value)) << "the end pointer is optional";
    EXPECT_EQ(5, value);
}

// The system's C runtime (msvcrt.dll, not the C99 scan that mingw links into
// this program) agrees on every text, overlong numbers included.
TEST(ScanIntRuntime, AgreesWithMsvcrtScanf)
{
    typedef int(__cdecl * ScanFunction)(const char*, const char*, ...);
    HMODULE runtime = GetModuleHandleA("msvcrt.dll");
    FARPROC address = runtime ? GetProcAddress(runtime, "sscanf") : nullptr;
    ScanFunction scan = reinterpret_cast<ScanFunction>(reinterpret_cast<void*>(address));
    if (!scan)
        GTEST_SKIP() << "msvcrt.dll has no sscanf here";
    const char* texts[] = {
        "0",    "17",   "-17",  "+17",  "0x1A",       "0X1a",        "-0x1a",
        "017",  "08",   "09",   "0779", " 12",        "\t-4",        "12abc",
        "007",  "0x0",  "10.5", "1e5",  "0x7fffffff", "-2147483647", "4294967296",
        "0x",   "0xg",  "-0x",  "x1",   "",           "- 1",         "99999999999",
        "-2147483649"};
    for (const char* text : texts) {
        int expected = 0;
        int count = scan(text, "%i", &expected);
        int32_t value = 0;
        bool scanned = ScanInt(text, value);
        EXPECT_EQ(count == 1, scanned) << '"' << text << '"';
        if (count == 1) {
            EXPECT_EQ(expected, value) << '"' << text << '"';
        }
    }
}
