// The texts of the point-to-point kinds, formatted and parsed without
// Windows: what is stored, what is read back, and where a text is cut.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

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
// phones (no blank), the modem option, damaged quotes and texts too long.
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

TEST(PtpTexts, DialTextOfTheDialogNeverOverflows)
{
    char out[PtpTextCapacity + 8];
    const std::string phones = Long(200), init1 = Long(1), init2 = Long(2);
    const struct {
        DialSettings settings;
        std::string text;
        bool fits;
    } rows[] = {
        {{nullptr, 1, 0, 1, nullptr, nullptr}, " /retries:1 /interval:0 /rings:1", true},
        {{"", -1, 4294967295u, 0, "", ""},
         "/phones:\"\" /retries:-1 /interval:4294967295 /rings:0 /initstr:\"\" /dialstr:\"\"",
         true},
        {{phones.c_str(), 0, 0, 0, init1.c_str(), nullptr},
         "/phones:\"" + phones + "\" /retries:0 /interval:0 /rings:0 /initstr:\"h\"",
         true},
        {{phones.c_str(), 0, 0, 0, init2.c_str(), nullptr},
         "/phones:\"" + phones + "\" /retries:0 /interval:0 /rings:0 /initstr:\"hh",
         false},
    };
    for (const auto& row : rows) {
        memset(out, 'Z', sizeof(out));
        EXPECT_EQ(row.fits, FormatDialParameters(out, PtpTextCapacity, row.settings)) << row.text;
        EXPECT_EQ(row.text, out);
        EXPECT_EQ('Z', out[PtpTextCapacity]);
    }
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

TEST(PtpTexts, NetworkStringsConvertAndFormat)
{
    const char* texts[] = {"5", "0x10", "017", "abc", "65534", "65535", "-1", "0", " 7x", ""};
    const uint16_t numbers[] = {5, 16, 15, 0, 65534, 0, 0, 0, 7, 0};
    for (size_t i = 0; i < sizeof(numbers) / sizeof(numbers[0]); ++i)
        EXPECT_EQ(numbers[i], NetworkFromText(texts[i])) << texts[i];

    const uint16_t list[] = {1, 65534, 300};
    char out[32];
    memset(out, 'Z', sizeof(out));
    FormatNetworkList(list, 3, out);
    EXPECT_EQ(std::string("1\0"
                          "65534\0"
                          "300\0",
                          13),
              std::string(out, 13));
    EXPECT_EQ(3u, CountMultiStrings(out, sizeof(out)));
    EXPECT_EQ(2u, CountMultiStrings("ab\0cd", 5));  // unterminated: ends at the size
    EXPECT_EQ(1u, CountMultiStrings("abcd", 2));
}

// The stored texts of the edge cases; a host name holding "-server" reloads
// as a server without id, since option names are found inside values.
TEST(PtpTexts, HttpParameterTextComposedAndParsed)
{
    auto settings = [](bool server, uint32_t id, int32_t port, const std::string& host, uint32_t proxyPort,
                       const std::string& proxy) {
        OhttpSettings s;
        s.serverMode = server, s.clientId = id, s.serverPort = port, s.proxyPort = proxyPort;
        strcpy(s.serverHost, host.c_str());
        strcpy(s.proxyHost, proxy.c_str());
        return s;
    };
    const struct {
        OhttpSettings given;
        std::string text;
        OhttpSettings parsed;
    } rows[] = {
        {settings(false, 7, 80, "gw", 81, ""), "-client:7 -server_port:80 -server_host:\"gw\"",
         settings(false, 7, 80, "gw", 1, "")},
        {settings(false, 7, 80, "gw", 81, "px"),
         "-client:7 -server_port:80 -server_host:\"gw\" -proxy_host:\"px\" -proxy_port:81",
         settings(false, 7, 80, "gw", 81, "px")},
        {settings(false, 7, 80, "gw", 0, "px"),
         "-client:7 -server_port:80 -server_host:\"gw\" -proxy_host:\"px\"",
         settings(false, 7, 80, "gw", 1, "px")},
        {settings(true, 7, 80, "", 5, "px"), "-server:7 -port:80", settings(true, 7, 80, "", 9, "keep")},
        {settings(true, 4294967295u, -1, "h", 5, ""), "-server:4294967295 -port:-1 -host:\"h\"",
         settings(true, 4294967295u, -1, "h", 9, "keep")},
        {settings(false, 3, 8, "a-server", 5, ""), "-client:3 -server_port:8 -server_host:\"a-server\"",
         settings(true, 0, 0, "", 9, "keep")},
    };
    for (const auto& row : rows) {
        char text[PtpTextCapacity];
        EXPECT_TRUE(ComposeParameterText(row.given, text, sizeof(text)));
        EXPECT_EQ(row.text, text);
        OhttpSettings parsed = settings(true, 9, 9, "old", 9, "keep");
        ParseParameterText(text, parsed);
        const OhttpSettings& want = row.parsed;
        EXPECT_EQ(
            (std::vector<long long>{want.serverMode, want.clientId, want.serverPort, want.proxyPort}),
            (std::vector<long long>{parsed.serverMode, parsed.clientId, parsed.serverPort, parsed.proxyPort}))
            << text;
        EXPECT_EQ(std::string(want.serverHost) + "|" + want.proxyHost,
                  std::string(parsed.serverHost) + "|" + parsed.proxyHost);
    }
    OhttpSettings parsed = settings(false, 9, 9, "old", 9, "px");
    ParseParameterText("", parsed);
    char text[PtpTextCapacity];
    ComposeParameterText(parsed, text, sizeof(text));
    EXPECT_STREQ("-server:1 -port:1", text);
    EXPECT_FALSE(ComposeParameterText(settings(false, 1, 1, Long(120), 1, Long(120)), text, sizeof(text)));
    EXPECT_EQ(PtpTextCapacity - 1, strlen(text));
}
