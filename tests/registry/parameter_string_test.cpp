#include <gtest/gtest.h>

#include <locale.h>
#include <string.h>

#include <string>

#include "registry/parameter_string.h"

namespace {

// The line an ARCNET port writes with its format string.
const char ArcnetLine[] = "/ioport:0x2e0 /irq:5 /nodeid:1 /baud:\"156.25\" /naks:4 /extimeout:1";

// GetString into a buffer of the given size inside a larger one, so that a
// write past size shows as a changed guard byte.
std::string Text(const char* line, const char* name, size_t size, const char* def = "dflt")
{
    char buffer[64];
    memset(buffer, 'Z', sizeof(buffer));
    ParameterString(line).GetString(name, buffer, size, def);
    for (size_t i = size; i < sizeof(buffer); ++i) {
        if (buffer[i] != 'Z') {
            ADD_FAILURE() << "GetString wrote past size " << size << " at " << i;
            break;
        }
    }
    if (memchr(buffer, '\0', size) == nullptr)
        return "<unterminated>";
    return buffer;
}

std::string Text(const char* line, const char* name)
{
    return Text(line, name, 64);
}

int32_t Int(const char* line, const char* name, int32_t def = -1)
{
    return ParameterString(line).GetInt(name, def);
}

}  // namespace

// ---------------------------------------------------------------------------
// The line of an ARCNET port

TEST(ParameterStringLine, NumbersCaseFoldedAndHexadecimal)
{
    EXPECT_EQ(5, Int(ArcnetLine, "IRQ"));
    EXPECT_EQ(5, Int(ArcnetLine, "Irq"));
    EXPECT_EQ(736, Int(ArcnetLine, "ioport"));
    EXPECT_EQ(1, Int(ArcnetLine, "nodeid"));
    EXPECT_EQ(1, Int(ArcnetLine, "extimeout"));
}

TEST(ParameterStringLine, QuotedValueKeepsDotAndIsCut)
{
    EXPECT_EQ("156.25", Text(ArcnetLine, "baud"));
    EXPECT_EQ("156", Text(ArcnetLine, "baud", 4));
    EXPECT_EQ("", Text(ArcnetLine, "baud", 1));
}

TEST(ParameterStringLine, NameOnlyRightAfterSlashOrDash)
{
    EXPECT_EQ(7, Int(ArcnetLine, "timeout", 7)) << "extimeout is not timeout";
    EXPECT_EQ(7, Int(ArcnetLine, "port", 7)) << "ioport is not port";
}

TEST(ParameterStringLine, LongerNameInTextIsNoMatch)
{
    ParameterString line(ArcnetLine);
    EXPECT_TRUE(line.HasOption("naks"));
    EXPECT_FALSE(line.HasOption("nak"));
    EXPECT_FALSE(line.HasOption("i"));
    EXPECT_FALSE(line.HasOption("ioports")) << "a name longer than the text's";
}

// ---------------------------------------------------------------------------
// Finding options

TEST(ParameterStringFind, CaseFoldedBothWays)
{
    EXPECT_EQ(3, Int("/IRQ:3", "irq"));
    EXPECT_EQ(3, Int("/irq:3", "IRQ"));
    EXPECT_EQ(3, Int("/iRq:3", "IrQ"));
    EXPECT_EQ(3, Int("/Server_Port:3", "SERVER_port"));
}

TEST(ParameterStringFind, ColonMakesTheValue)
{
    EXPECT_EQ(0, Int("/irq:", "irq", -1)) << "present with an empty value";
    EXPECT_EQ(-1, Int("/irq", "irq", -1)) << "present without a value";
    EXPECT_EQ(-1, Int("/irq /x:5", "irq", -1));
    EXPECT_EQ(-1, Int("/irq=5", "irq", -1));
    EXPECT_EQ("", Text("/irq:", "irq"));
    EXPECT_EQ("dflt", Text("/irq", "irq"));
}

TEST(ParameterStringFind, NamesAtTheEndOfTheText)
{
    ParameterString line("/x:1 /irq");
    EXPECT_TRUE(line.HasOption("irq"));
    EXPECT_EQ(9, line.GetInt("irq", 9));
    EXPECT_FALSE(ParameterString("/x:1 /ir").HasOption("irq")) << "text ends inside the name";
    EXPECT_FALSE(ParameterString("/x:1 /").HasOption("irq"));
    EXPECT_FALSE(ParameterString("/x:1 -").HasOption("irq"));
    EXPECT_EQ(2, Int("/x:1/irq:2", "irq")) << "no blank between options";
}

TEST(ParameterStringFind, DashStartsAnOption)
{
    EXPECT_EQ(5, Int("-irq:5", "irq"));
    EXPECT_EQ(7, Int("/a:x-b:7", "b")) << "a dash inside a value starts an option";
    EXPECT_EQ(3, Int("/a:\"x/b:3\"", "b")) << "quotes do not hide an option";
    EXPECT_EQ(-1, Int("/a:-1 /b:2", "a"));
    EXPECT_EQ(2, Int("/a:-1 /b:2", "b"));
}

TEST(ParameterStringFind, MismatchResumesAtTheStoppingCharacter)
{
    EXPECT_EQ(5, Int("/i/irq:5", "irq"));
    EXPECT_EQ(5, Int("//irq:5", "irq"));
    EXPECT_EQ(5, Int("/ir-irq:5", "irq"));
    EXPECT_EQ(4, Int("/irqs:1 /irq_2:2 /irq1:3 /irq:4", "irq")) << "longer names skipped";
    EXPECT_EQ(-1, Int("/ir:1", "irq"));
}

TEST(ParameterStringFind, FirstOccurrenceWins)
{
    EXPECT_EQ(5, Int("/irq:5 /irq:7", "irq"));
    EXPECT_EQ(-1, Int("/irq /irq:7", "irq")) << "the first one has no value";
    EXPECT_EQ("a", Text("/n:a -n:b", "n"));
}

TEST(ParameterStringFind, ValueOutput)
{
    const char line[] = "/a /b:xy";
    ParameterString view(line);
    const char* value = line;
    EXPECT_TRUE(view.FindOption("b", &value));
    EXPECT_EQ(line + 6, value) << "points into the text after the colon";
    value = line;
    EXPECT_TRUE(view.FindOption("a", &value));
    EXPECT_EQ(nullptr, value);
    value = line;
    EXPECT_FALSE(view.FindOption("c", &value));
    EXPECT_EQ(nullptr, value);
    EXPECT_TRUE(view.FindOption("B"));
}

// ---------------------------------------------------------------------------
// Bad input

TEST(ParameterStringBadInput, NullTextIsAnEmptyLine)
{
    ParameterString line(nullptr);
    const char* value = "x";
    EXPECT_FALSE(line.FindOption("irq", &value));
    EXPECT_EQ(nullptr, value);
    EXPECT_FALSE(line.HasOption("irq"));
    EXPECT_EQ(-4, line.GetInt("irq", -4));
    EXPECT_EQ(0xFFFFFFF0u, line.GetUInt("irq", 0xFFFFFFF0u));
    EXPECT_EQ("dflt", Text(nullptr, "irq"));
}

TEST(ParameterStringBadInput, NullNameIsAbsent)
{
    ParameterString line("/irq:5 /:3");
    const char* value = "x";
    EXPECT_FALSE(line.FindOption(nullptr, &value));
    EXPECT_EQ(nullptr, value);
    EXPECT_FALSE(line.HasOption(nullptr));
    EXPECT_EQ(-4, line.GetInt(nullptr, -4));
    EXPECT_EQ("dflt", Text("/irq:5", nullptr));
}

TEST(ParameterStringBadInput, InvalidNamesAreNeverOptions)
{
    ParameterString line("/ :1 /:2 /a b:3 /a-b:4");
    EXPECT_FALSE(line.HasOption(""));
    EXPECT_FALSE(line.HasOption("a b"));
    EXPECT_FALSE(line.HasOption(" "));
    EXPECT_FALSE(line.HasOption("a-b"));
    EXPECT_TRUE(ParameterString::IsOptionName("server_port2"));
    EXPECT_TRUE(ParameterString::IsOptionName("_"));
    EXPECT_FALSE(ParameterString::IsOptionName(""));
    EXPECT_FALSE(ParameterString::IsOptionName(nullptr));
    EXPECT_FALSE(ParameterString::IsOptionName("a.b"));
    EXPECT_FALSE(ParameterString::IsOptionName("\xE9t\xE9"));
}

TEST(ParameterStringBadInput, BytesAbove0x7F)
{
    // Bytes above 0x7F are negative in a plain char; they must be classified
    // as the unsigned characters they are (no letters in the default locale).
    EXPECT_EQ(3, Int("/\xE9t\xE9:5 /irq:3", "irq"));
    EXPECT_EQ(5, Int("/\xE9t\xE9:5 /irq:3", "\xE9t\xE9")) << "same bytes compare equal";
    EXPECT_TRUE(ParameterString("/irq\xFF:5").HasOption("irq")) << "0xFF does not go on a name";
    EXPECT_TRUE(ParameterString("/irq\xE9").HasOption("irq"));
    EXPECT_EQ(-1, Int("/irq\xFF:5", "irq")) << "no colon right after the name";
    EXPECT_EQ("ab", Text("/n:ab\xE9\xFF" "cd", "n"));
    EXPECT_EQ("a\xE9\xFF", Text("/n:\"a\xE9\xFF\"", "n")) << "kept inside quotes";
    EXPECT_EQ(-1, Int("\x80\x81\xFE\xFF", "irq"));
}

TEST(ParameterStringBadInput, LinesOfOptionStartsOnly)
{
    EXPECT_EQ(-1, Int("----////----", "irq"));
    EXPECT_EQ(-1, Int("/", "irq"));
    EXPECT_EQ(-1, Int("", "irq"));
    EXPECT_EQ("dflt", Text("-:-:-:", "irq"));
}

// ---------------------------------------------------------------------------
// Numbers

TEST(ParameterStringNumbers, SignsAndUnsigned)
{
    EXPECT_EQ(-5, Int("/n:-5", "n"));
    EXPECT_EQ(5, Int("/n:+5", "n"));
    EXPECT_EQ(-16, Int("/n:-0x10", "n"));
    EXPECT_EQ(0xFFFFFFFFu, ParameterString("/n:-1").GetUInt("n", 7));
    EXPECT_EQ(0xFFFFFFFFu, ParameterString("/n:0xffffffff").GetUInt("n", 7));
    EXPECT_EQ(-1, Int("/n:0xffffffff", "n", 7));
    EXPECT_EQ(0x80000000u, ParameterString("/n:2147483648").GetUInt("n", 7));
    EXPECT_EQ(0xFFFFFFF0u, ParameterString("/m:1").GetUInt("n", 0xFFFFFFF0u));
}

TEST(ParameterStringNumbers, BasesAndWhiteSpace)
{
    EXPECT_EQ(8, Int("/n:010", "n"));
    EXPECT_EQ(0, Int("/n:08", "n")) << "octal stops at the 8";
    EXPECT_EQ(0x2E0, Int("/n:0X2E0", "n"));
    EXPECT_EQ(5, Int("/n: 5", "n")) << "white space after the colon is skipped";
    EXPECT_EQ(5, Int("/n:\t5", "n"));
    EXPECT_EQ(10, Int("/host:10.0.0.1", "host"));
}

TEST(ParameterStringNumbers, ValueWithoutNumberGivesZero)
{
    EXPECT_EQ(0, Int("/n:abc", "n", 7));
    EXPECT_EQ(0, Int("/n:\"5\"", "n", 7)) << "a quote is no digit";
    EXPECT_EQ(0, Int("/n:-", "n", 7));
    EXPECT_EQ(0, Int("/n: /m:3", "n", 7));
    EXPECT_EQ(0u, ParameterString("/n:x").GetUInt("n", 7));
}

// ---------------------------------------------------------------------------
// Text values

TEST(ParameterStringText, PlainValueIsARunOfNameCharacters)
{
    EXPECT_EQ("10", Text("/host:10.0.0.1", "host"));
    EXPECT_EQ("COM_1", Text("/port:COM_1 /x:2", "port"));
    EXPECT_EQ("a", Text("/n:a-b", "n"));
    EXPECT_EQ("a", Text("/n:a/b", "n"));
    EXPECT_EQ("a", Text("/n:a:b", "n"));
    EXPECT_EQ("a", Text("/n:a\"b", "n"));
    EXPECT_EQ("", Text("/n: a", "n")) << "no white space skipped for text";
}

TEST(ParameterStringText, QuotedValues)
{
    EXPECT_EQ("My Modem", Text("/modem:\"My Modem\" /x:1", "modem"));
    EXPECT_EQ("say \"hi\"", Text("/t:\"say \"\"hi\"\"\"", "t"));
    EXPECT_EQ("\"", Text("/t:\"\"\"\"", "t"));
    EXPECT_EQ("", Text("/t:\"\"", "t"));
    EXPECT_EQ("a", Text("/t:\"a\"b\"", "t")) << "a single quote closes";
    EXPECT_EQ("open", Text("/name:\"open", "name")) << "unterminated quote";
    EXPECT_EQ("a\"", Text("/t:\"a\"\"", "t"));
    EXPECT_EQ("", Text("/t:\"", "t"));
}

TEST(ParameterStringText, CutAtBufferSize)
{
    EXPECT_EQ("", Text("/t:abcdef", "t", 1));
    EXPECT_EQ("abc", Text("/t:abcdef", "t", 4));
    EXPECT_EQ("abcdef", Text("/t:abcdef", "t", 7));
    EXPECT_EQ("ab\"", Text("/t:\"ab\"\"cd\"", "t", 4)) << "a doubled quote counts once";
    EXPECT_EQ("a b", Text("/t:\"a b c\"", "t", 4));
    EXPECT_EQ("", Text("", "t", 1, "default"));
    EXPECT_EQ("def", Text("", "t", 4, "default"));
    EXPECT_EQ("default", Text("", "t", 64, "default"));
}

TEST(ParameterStringText, MissingBufferOrDefault)
{
    EXPECT_EQ("", Text("", "t", 64, nullptr));
    ParameterString line("/t:abc");
    line.GetString("t", nullptr, 10, "x");
    char buffer[2] = {'Q', 'Q'};
    line.GetString("t", buffer, 0, "x");
    EXPECT_EQ('Q', buffer[0]) << "size 0 writes nothing";
}

// Under a code page whose bytes above 0x7F hold letters, those bytes are
// classified and folded as the unsigned characters they are.
TEST(ParameterStringBadInput, BytesAbove0x7FInACodePageLocale)
{
    if (!setlocale(LC_CTYPE, ".1252"))
        GTEST_SKIP() << "no code page 1252 locale";
    EXPECT_FALSE(ParameterString("/irq\xE9:5").HasOption("irq")) << "0xE9 goes on the name";
    EXPECT_EQ(5, Int("/\xC9T\xC9:5", "\xE9t\xE9")) << "0xE9 folds to 0xC9";
    EXPECT_EQ(5, Int("/\xE9t\xE9:5", "\xC9T\xC9"));
    EXPECT_TRUE(ParameterString::IsOptionName("\xE9t\xE9"));
    EXPECT_EQ("ab\xE9\xFF" "cd", Text("/n:ab\xE9\xFF" "cd.", "n"));
    setlocale(LC_CTYPE, "C");
}
