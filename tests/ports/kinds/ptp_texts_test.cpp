// The texts of the point-to-point kinds, formatted and parsed without
// Windows: what is stored, what is read back, and where a text is cut.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "ports/kinds/ptp_texts.h"

namespace {

const std::string Long(size_t n, char c = 'h') { return std::string(n, c); }

// A stored secondary info as the registry gives it back: mode option, modem
// flag and dial text in one line.
std::string Reloaded(const std::string& stored)
{
    SecondaryInfoParts parts(stored.c_str());
    char line[PtpTextCapacity];
    bool fits =
        FormatSecondaryInfo(line, sizeof(line), parts.modeParameter, parts.modem, parts.dialParameters);
    return fits ? line : std::string("<cut> ") + line;
}

}  // namespace

// The default dial text, a reload without phones (leading blank), with
// phones (no blank), the modem option, damaged quotes and texts too long,
// which are cut and never overflow.
TEST(PtpTexts, SecondaryInfoReadBackIsRebuilt)
{
    const std::string full = "/mode:\"" + Long(230) + "\" /phones:\"" + Long(10, '5') + "\"";
    const struct {
        std::string stored, reloaded;
    } rows[] = {
        {"/MODE:\"9600,n,8,1\" "
         "/retries:1/interval:0/rings:1/initstr:\"atx4q0v1s0=0&d2&b1&c1\"/dialstr:\"atd\"",
         "/mode:\"9600,n,8,1\"  /retries:1 /interval:0 /rings:1 /initstr:\"atx4q0v1s0=0&d2&b1&c1\" "
         "/dialstr:\"atd\""},
        {"", "/mode:\"9600,n,8,1\"  /retries:1 /interval:0 /rings:1"},
        {"/modem /phones:\"1,w2\" /retries:-1 /interval:0x10 /rings:-1",
         "/mode:\"9600,n,8,1\" /modem /phones:\"1,w2\" /retries:-1 /interval:16 /rings:4294967295"},
        {"-mode:\"19200,e,7,2,p\" -modem:x -initstr:\"a\"\"b\"",
         "/mode:\"19200,e,7,2,p\" /modem  /retries:1 /interval:0 /rings:1 /initstr:\"a\"b\""},
        {"/mode:\"4800 /phones:\"12",
         "/mode:\"4800 /phones:\" /phones:\"12\" /retries:1 /interval:0 /rings:1"},
        {full, "<cut> /mode:\"" + Long(230) + "\" /phones:\"5555555"},
        {"/mode:" + Long(250, '9'), "<cut> /mode:\"" + Long(248, '9')},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.reloaded, Reloaded(row.stored)) << row.stored;
}

TEST(PtpTexts, SerialModeFromTheDeviceControlBlock)
{
    const struct {
        SerialSettings settings;
        const char* text;
    } rows[] = {
        {{9600, 2, 7, 1, true, true}, "9600,e,7,1.5,p"},
        {{115200, 1, 8, 2, false, true}, "115200,o,8,2,x"},
        {{110, 3, 5, 0, false, false}, "110,m,5,1"},
        {{4294967295u, 5, 8, 3, false, false}, "4294967295,n,8,1"},
        {{300, 4, 6, 2, false, false}, "300,s,6,2"},
    };
    for (const auto& row : rows) {
        char out[PtpTextCapacity];
        FormatSerialMode(out, sizeof(out), row.settings);
        EXPECT_STREQ(row.text, out);
    }
}
