#include <gtest/gtest.h>

#include "registry/parameter_string.h"

// The line an ARCNET port writes with its format string.
const char Arcnet[] = "/ioport:0x2e0 /irq:5 /nodeid:1 /baud:\"156.25\" /naks:4 /extimeout:1";

// GetString into the first size bytes of a guarded buffer.
std::string Text(const char* line, const char* name, size_t size = 64, const char* def = "dflt")
{
    char buffer[64];
    memset(buffer, 'Z', sizeof(buffer));
    ParameterString(line).GetString(name, buffer, size, def);
    if (std::string(buffer + size, sizeof(buffer) - size) != std::string(sizeof(buffer) - size, 'Z'))
        return "<past>";
    return memchr(buffer, '\0', size) ? buffer : "<open>";
}

// Line, name, GetInt (default -1): names folded and whole, options at any slash or dash (in values
// too), the first wins, "%i" numbers, an empty value 0, a missing one the default; bytes above 0x7F.
TEST(ParameterString, GetIntAndGetStringFollowTheScanRules)
{
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {Arcnet, "IRQ", 5},          {Arcnet, "ioport", 736},      {Arcnet, "timeout", -1},
        {Arcnet, "port", -1},        {"/irq:", "irq", 0},          {"/irq", "irq", -1},
        {"/irq=5", "irq", -1},       {"-irq:5", "irq", 5},         {"/a:x-b:7", "b", 7},
        {"/a:\"x/b:3\"", "b", 3},    {"/a:-1 /b:2", "a", -1},      {"/ir-irq:5", "irq", 5},
        {"/irq_2 /irq:4", "irq", 4}, {"/irq:5 /irq:7", "irq", 5},  {"/n:abc", "n", 0},
        {"/n:0xffffffff", "n", -1},  {"/\xE9:5 /irq:3", "irq", 3}, {"/irq\xFF:5", "irq", -1},
        {nullptr, "irq", -1},        {"/irq:5", nullptr, -1},
    };
    for (const auto& [line, name, expected] : cases)
        EXPECT_EQ(expected, ParameterString(line).GetInt(name, -1)) << line << " " << name;
    EXPECT_EQ(0xFFFFFFF0u, ParameterString("/m:1").GetUInt("n", 0xFFFFFFF0u)) << "the default unsigned";
    const ParameterString options("/a b /c");
    EXPECT_EQ("10", std::to_string(options.HasOption("c")) + std::to_string(options.HasOption("a b")))
        << "a name has name characters only";

    // Line, name, size, GetString (default "dflt"): plain values of letters, digits and '_', quoted ones
    // with "" for a quote, cut to size - 1 and terminated (size 0: nothing); a missing value the default.
    const std::tuple<const char*, const char*, size_t, const char*> texts[] = {
        {Arcnet, "baud", 64, "156.25"},   {Arcnet, "baud", 4, "156"},       {Arcnet, "baud", 1, ""},
        {"/h:10.0.0.1", "h", 64, "10"},   {"/p:C_1 /x", "p", 64, "C_1"},    {"/n:a-b", "n", 64, "a"},
        {"/n:ab\xE9\xFF", "n", 64, "ab"}, {"/m:\"a b\"", "m", 64, "a b"},   {"/t:\"\"\"\"", "t", 64, "\""},
        {"/t:\"open", "t", 64, "open"},   {"/t:\"a\"\"b\"", "t", 3, "a\""}, {"/irq:", "irq", 64, ""},
        {"/irq", "irq", 64, "dflt"},      {"/x:1", "t", 4, "dfl"},          {nullptr, "t", 64, "dflt"},
        {"/t:x", nullptr, 64, "dflt"},    {"/t:abc", "t", 0, "<open>"},
    };
    for (const auto& [line, name, size, expected] : texts)
        EXPECT_EQ(expected, Text(line, name, size)) << line << " " << name << " " << size;
    EXPECT_EQ("", Text("", "t", 64, nullptr)) << "null default";
    ParameterString("/t:abc").GetString("t", nullptr, 10, "x");
}
