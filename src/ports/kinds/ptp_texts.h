// The texts that the point-to-point kinds store and parse: the dial
// parameter text, the secondary info with its mode option, the serial
// settings text formatted from a device control block, the HTTP parameter
// text and the accessible-network strings. Plain C++, no Windows headers, so
// that they can be tested and fuzzed natively.
//
// Every composed text goes into a buffer of a given size, is always
// terminated, and is cut rather than overflowing; the formatters answer
// false when they had to cut, so that callers can refuse the text.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Size of every text field of the point-to-point kinds, terminator included.
inline constexpr size_t PtpTextCapacity = 256;

// --- Dial parameter text -----------------------------------------------

// What the dial parameter text holds; a null text is left out.
struct DialSettings {
    const char* phones;
    int32_t retries;
    uint32_t interval;
    uint32_t rings;
    const char* initstr;
    const char* dialstr;
};

// "/phones:"..." /retries:%d" or " /retries:%d" alone, then " /interval:%u
// /rings:%u" and the given modem strings. False when the text was cut.
bool FormatDialParameters(char* out, size_t size, const DialSettings& settings);

// The options of a dial parameter text, read with their defaults. The three
// texts are "" when absent; has* tells whether the option was there.
struct DialTexts {
    char phones[PtpTextCapacity];
    char initstr[PtpTextCapacity];
    char dialstr[PtpTextCapacity];
    bool hasPhones, hasInitstr, hasDialstr;
    int32_t retries;
    uint32_t interval, rings;

    explicit DialTexts(const char* text);
    // The settings, absent texts as null.
    DialSettings Settings() const;
};

// --- Secondary info of the serial point-to-point port ----------------------

inline constexpr char DefaultModeText[] = "9600,n,8,1";

// "/MODE:"text"" (edited in the dialog) or "/mode:"text"" (read back from
// the registry). False when the text was cut.
bool FormatModeParameter(char* out, size_t size, const char* modeText, bool edited);
// The value of the "mode" option, "" when absent.
void GetModeText(const char* modeParameter, char* out, size_t size);
// "%s %s", or "%s /modem %s" when modem is on. False when the text was cut.
bool FormatSecondaryInfo(char* out, size_t size, const char* modeParameter, bool modem,
                         const char* dialParameters);

// A stored secondary info taken apart: the mode option rebuilt in lower case
// (its text defaulting to DefaultModeText), the modem flag, and the dial
// parameter text rebuilt from its options.
struct SecondaryInfoParts {
    char modeParameter[PtpTextCapacity];
    bool modem;
    char dialParameters[PtpTextCapacity];

    explicit SecondaryInfoParts(const char* text);
};

// --- Serial settings text ----------------------------------------------

// The fields of a device control block that the serial settings text shows.
struct SerialSettings {
    uint32_t baudRate;
    unsigned parity;    // 0 n, 1 o, 2 e, 3 m, 4 s
    unsigned byteSize;  // data bits
    unsigned stopBits;  // 0 one, 1 one and a half, 2 two
    bool hardwareFlow;  // CTS output flow or RTS handshake
    bool xonXoff;       // XON/XOFF on output or input
};

// "%lu,%s,%u,%s%s": baud, parity letter, data bits, stop bits, ",p" or ",x".
void FormatSerialMode(char* out, size_t size, const SerialSettings& settings);

// --- Accessible networks -----------------------------------------------

// A network number from its text ("%i"); 0 for text that holds no number
// or one outside 1..65534.
uint16_t NetworkFromText(const char* text);
// Number of strings of a multi-string before the first empty one, never
// looking at more than size bytes.
size_t CountMultiStrings(const char* list, size_t size);
// Bytes the registry form of count networks needs: 7 each and the end.
inline size_t NetworkListSize(size_t count) { return 7 * count + 1; }
// The registry form: one "%u" string per network, then the empty string.
// out holds at least NetworkListSize(count) bytes.
void FormatNetworkList(const uint16_t* networks, size_t count, char* out);

// --- HTTP parameter text -----------------------------------------------

struct OhttpSettings {
    bool serverMode;
    uint32_t clientId;
    int32_t serverPort;
    char serverHost[PtpTextCapacity];
    uint32_t proxyPort;
    char proxyHost[PtpTextCapacity];

    // A server with id 1 on port 1, no hosts, proxy port 1.
    void Reset();
};

// The server or client text of the settings. False when the text was cut.
bool ComposeParameterText(const OhttpSettings& settings, char* out, size_t size);
// Sets the settings from a parameter text by the first matching rule:
// "server" present, neither "server" nor "client" (the defaults), or client.
void ParseParameterText(const char* text, OhttpSettings& settings);
