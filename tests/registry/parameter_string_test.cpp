#include <gtest/gtest.h>

#include <locale.h>
#include <string.h>

#include <string>

#include "registry/parameter_string.h"

namespace {

// The line an ARCNET port writes with its format string.
const char Arcnet[] = "/ioport:0x2e0 /irq:5 /nodeid:1 /baud:\"156.25\" /naks:4 /extimeout:1";

// GetString into the first size bytes of a larger buffer: a write past size
// shows as a changed guard byte.
std::string Text(const char* line, const char* name, size_t size = 64, const char* def = "dflt")
{
    char buffer[64];
    memset(buffer, 'Z', sizeof(buffer));
    ParameterString(line).GetString(name, buffer, size, def);
    for (size_t i = size; i < sizeof(buffer); ++i)
        if (buffer[i] != 'Z')
            return "<wrote past size>";
    return memchr(buffer, '\0', size) ? buffer : "<unterminated>";
}

}  // namespace

TEST(ParameterString, GetIntFindsOptionsByTheScanRules)
{
    const struct {
        const char *line, *name;
        int32_t expected;  // with default -1
        const char* why;
    } cases[] = {
        {Arcnet, "IRQ", 5, "names compare without regard to case"},
        {Arcnet, "ioport", 736, "hexadecimal"},
        {Arcnet, "timeout", -1, "extimeout is not timeout"},
        {Arcnet, "port", -1, "ioport is not port"},
        {"/iRq:3", "IrQ", 3, "folded both ways"},
        {"/irq:", "irq", 0, "present with an empty value: 0, not the default"},
        {"/irq", "irq", -1, "present without a value"},
        {"/irq=5", "irq", -1, "no colon, no value"},
        {"/x:1/irq:2", "irq", 2, "no blank between options"},
        {"-irq:5", "irq", 5, "a dash starts an option"},
        {"/a:x-b:7", "b", 7, "a dash inside a value starts an option"},
        {"/a:\"x/b:3\"", "b", 3, "quotes do not hide an option"},
        {"/a:-1 /b:2", "a", -1, "a negative value"},
        {"/i/irq:5", "irq", 5, "the scan resumes where the comparison stopped"},
        {"/ir-irq:5", "irq", 5, "... also at a dash"},
        {"/irqs:1 /irq_2:2 /irq1:3 /irq:4", "irq", 4, "longer names are skipped"},
        {"/ir:1", "irq", -1, "a shorter name is no match"},
        {"/x:1 /ir", "irq", -1, "text ends inside the name"},
        {"/irq:5 /irq:7", "irq", 5, "the first occurrence wins"},
        {"/irq /irq:7", "irq", -1, "... even without a value"},
        {"/n:abc", "n", 0, "no number: 0, not the default"},
        {"/n:0xffffffff", "n", -1, "32-bit wrap, as the runtime's scan"},
        {"/\xE9t\xE9:5 /irq:3", "irq", 3, "bytes above 0x7F are no name characters"},
        {"/irq\xFF:5", "irq", -1, "0xFF after the name: present, no value"},
        {"----////----", "irq", -1, "option starts only"},
        {"", "irq", -1, "empty line"},
        {nullptr, "irq", -1, "a null line reads as empty"},
        {"/irq:5", nullptr, -1, "a null name is absent"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ParameterString(c.line).GetInt(c.name, -1)) << c.why;
}

TEST(ParameterString, GetStringReadsPlainAndQuotedValues)
{
    const struct {
        const char *line, *name;
        size_t size;
        const char *expected, *why;  // expected with default "dflt"
    } cases[] = {
        {Arcnet, "baud", 64, "156.25", "the dot kept inside quotes"},
        {Arcnet, "baud", 4, "156", "cut to size - 1"},
        {Arcnet, "baud", 1, "", "size 1 holds the terminator alone"},
        {"/host:10.0.0.1", "host", 64, "10", "a plain value stops at the dot"},
        {"/port:COM_1 /x:2", "port", 64, "COM_1", "letters, digits and _"},
        {"/n:a-b", "n", 64, "a", "a dash ends a plain value"},
        {"/n:a\"b", "n", 64, "a", "so does a quote"},
        {"/n: a", "n", 64, "", "no white space skipped for text"},
        {"/n:ab\xE9\xFF"
         "cd",
         "n", 64, "ab", "bytes above 0x7F end a plain value"},
        {"/modem:\"My Modem\" /x:1", "modem", 64, "My Modem", "blanks kept inside quotes"},
        {"/t:\"say \"\"hi\"\"\"", "t", 64, "say \"hi\"", "two quotes stand for one"},
        {"/t:\"a\"b\"", "t", 64, "a", "a single quote closes"},
        {"/name:\"open", "name", 64, "open", "unterminated quote"},
        {"/t:\"ab\"\"cd\"", "t", 4, "ab\"", "a doubled quote counts once when cut"},
        {"/irq:", "irq", 64, "", "an empty value is no default"},
        {"/irq", "irq", 64, "dflt", "no value: the default"},
        {"", "t", 4, "dfl", "the default is cut too"},
        {"/n:a -n:b", "n", 64, "a", "the first occurrence wins"},
        {nullptr, "t", 64, "dflt", "null line"},
        {"/t:x", nullptr, 64, "dflt", "null name"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Text(c.line, c.name, c.size)) << c.why;

    EXPECT_EQ("", Text("", "t", 64, nullptr)) << "null default";
    char untouched[2] = {'Q', 'Q'};
    ParameterString("/t:abc").GetString("t", untouched, 0, "x");
    EXPECT_EQ('Q', untouched[0]) << "size 0 writes nothing";
    ParameterString("/t:abc").GetString("t", nullptr, 10, "x");
}

TEST(ParameterString, HasOptionNeedsAValidName)
{
    ParameterString line(Arcnet);
    EXPECT_TRUE(line.HasOption("naks"));
    EXPECT_FALSE(line.HasOption("nak")) << "the option name goes on with a letter";
    EXPECT_FALSE(line.HasOption("ioports"));
    ParameterString odd("/ :1 /:2 /a b:3 /a-b:4");
    for (const char* name : {"", " ", "a b", "a-b", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(odd.HasOption(name)) << (name ? name : "(null)");
    EXPECT_FALSE(ParameterString::IsOptionName("\xE9t\xE9"));
}

TEST(ParameterString, FindOptionAndGetUInt)
{
    const char line[] = "/a /b:xy";
    const char* value = line;
    EXPECT_TRUE(ParameterString(line).FindOption("B", &value));
    EXPECT_EQ(line + 6, value);
    EXPECT_TRUE(ParameterString(line).FindOption("a", &value));
    EXPECT_EQ(nullptr, value);
    value = line;
    EXPECT_FALSE(ParameterString(line).FindOption("c", &value));
    EXPECT_EQ(nullptr, value);
    EXPECT_EQ(0xFFFFFFFFu, ParameterString("/n:-1").GetUInt("n", 7)) << "GetInt taken unsigned";
    EXPECT_EQ(0xFFFFFFF0u, ParameterString("/m:1").GetUInt("n", 0xFFFFFFF0u)) << "the default too";
}

// Under a code page whose bytes above 0x7F hold letters, those bytes are
// classified and folded as the unsigned characters they are.
TEST(ParameterString, BytesAbove0x7FInACodePageLocale)
{
    if (!setlocale(LC_CTYPE, ".1252"))
        GTEST_SKIP() << "no code page 1252 locale";
    EXPECT_FALSE(ParameterString("/irq\xE9:5").HasOption("irq")) << "0xE9 goes on the name";
    EXPECT_EQ(5, ParameterString("/\xC9T\xC9:5").GetInt("\xE9t\xE9", -1)) << "0xE9 folds to 0xC9";
    EXPECT_TRUE(ParameterString::IsOptionName("\xE9t\xE9"));
    setlocale(LC_CTYPE, "C");
}
