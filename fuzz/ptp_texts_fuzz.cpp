// The point-to-point texts. A stored text, read and written again, reads
// back as what it was read as, whenever its text values can be carried (see
// Carried) and the written text fits; writing into any buffer size stays
// inside it and cuts to a prefix of the whole text. An accessible-network
// list is read from a block that need not end in NULs.
//
// Input: a selector byte (the text kind, and a buffer size), then the text.
#include "fuzz/fuzz_support.h"
#include "ports/kinds/ptp_texts.h"

namespace {

const std::initializer_list<const char*> DialNames = {"phones", "retries", "interval",
                                                      "rings",  "initstr", "dialstr"};
const std::initializer_list<const char*> InfoNames = {"mode",     "modem", "phones",  "retries",
                                                      "interval", "rings", "initstr", "dialstr"};
const std::initializer_list<const char*> HttpNames = {
    "server", "port", "host", "client", "server_port", "server_host", "proxy_host", "proxy_port"};

bool Carried(const DialTexts& dial, std::initializer_list<const char*> names)
{
    return ::Carried(dial.phones, names) && ::Carried(dial.initstr, names) && ::Carried(dial.dialstr, names);
}

void RequireSameDial(const DialTexts& a, const DialTexts& b, const char* written)
{
    RequireSame(a.phones, b.phones, "phones");
    RequireSame(a.initstr, b.initstr, "initstr");
    RequireSame(a.dialstr, b.dialstr, "dialstr");
    Require(a.hasPhones == b.hasPhones && a.hasInitstr == b.hasInitstr && a.hasDialstr == b.hasDialstr,
            "texts present", written);
    Require(a.retries == b.retries && a.interval == b.interval && a.rings == b.rings, "numbers", written);
}

// A formatter's text into a buffer of size bytes: terminated inside it, a
// prefix of the whole text, and reported as cut exactly when it is shorter.
template <typename Format>
void RequireBoundedFormat(size_t size, Format format)
{
    char whole[4 * PtpTextCapacity];
    bool wholeFits = format(whole, sizeof(whole));
    ExactBuffer part(size);
    bool fits = format(part.get(), size);
    if (size == 0)
        return Require(!fits, "an empty buffer holds the text");
    size_t length = strnlen(part.get(), size);
    Require(length < size, "no terminator", whole);
    Require(strncmp(whole, part.get(), length) == 0, "not a prefix of the whole text", whole, part.get());
    Require(fits == (wholeFits && whole[length] == '\0'), "cut not reported", whole, part.get());
}

void DialText(const char* stored, size_t size)
{
    DialTexts read(stored);
    DialSettings settings = read.Settings();
    RequireBoundedFormat(size, [&](char* out, size_t n) { return FormatDialParameters(out, n, settings); });
    char written[PtpTextCapacity];
    if (!FormatDialParameters(written, sizeof(written), settings) || !Carried(read, DialNames))
        return;
    DialTexts again(written);
    RequireSameDial(read, again, written);
    char rewritten[PtpTextCapacity];
    FormatDialParameters(rewritten, sizeof(rewritten), again.Settings());
    RequireSame(written, rewritten, "the dial text written twice");
}

void SecondaryInfo(const char* stored, size_t size)
{
    SecondaryInfoParts read(stored);
    RequireBoundedFormat(size, [&](char* out, size_t n) {
        return FormatSecondaryInfo(out, n, read.modeParameter, read.modem, read.dialParameters);
    });
    char written[PtpTextCapacity];
    char modeText[PtpTextCapacity];
    ParameterString(stored).GetString("mode", modeText, sizeof(modeText), DefaultModeText);
    DialTexts dial(stored);
    if (!FormatSecondaryInfo(written, sizeof(written), read.modeParameter, read.modem, read.dialParameters) ||
        !::Carried(modeText, InfoNames) || !Carried(dial, InfoNames))
        return;
    SecondaryInfoParts again(written);
    RequireSame(read.modeParameter, again.modeParameter, "mode");
    Require(read.modem == again.modem, "modem", written);
    RequireSame(read.dialParameters, again.dialParameters, "dial text");
}

void HttpText(const char* stored, size_t size)
{
    OhttpSettings read;
    read.Reset();
    ParseParameterText(stored, read);
    RequireBoundedFormat(size, [&](char* out, size_t n) { return ComposeParameterText(read, out, n); });
    char written[PtpTextCapacity];
    if (!ComposeParameterText(read, written, sizeof(written)) || !::Carried(read.serverHost, HttpNames) ||
        !::Carried(read.proxyHost, HttpNames))
        return;
    OhttpSettings again;
    again.Reset();
    ParseParameterText(written, again);
    // A client's proxy port is written only beside a proxy host, and only
    // when not 0; without it the text reads back with proxy port 1.
    bool proxyPortWritten = read.serverMode || (read.proxyHost[0] && read.proxyPort);
    Require(read.serverMode == again.serverMode && read.clientId == again.clientId &&
                read.serverPort == again.serverPort &&
                again.proxyPort == (proxyPortWritten ? read.proxyPort : 1u),
            "numbers", written);
    RequireSame(read.serverHost, again.serverHost, "server host");
    RequireSame(read.proxyHost, again.proxyHost, "proxy host");
}

// The input as a multi-string block of its own size, with no terminator
// added: counted, converted and written back as the registry form.
void NetworkList(const uint8_t* data, size_t size)
{
    std::unique_ptr<char[]> block(new char[size ? size : 1]);
    memcpy(block.get(), data, size);
    size_t count = CountMultiStrings(block.get(), size);
    std::unique_ptr<uint16_t[]> networks(new uint16_t[count + 1]);
    size_t at = 0;
    for (size_t i = 0; i < count; ++i) {
        char text[8];
        size_t length = strnlen(block.get() + at, size - at);
        snprintf(text, sizeof(text), "%.*s", int(length < 7 ? length : 7), block.get() + at);
        networks[i] = NetworkFromText(text);
        Require(networks[i] <= 65534, "a network above 65534", text);
        at += length + 1;
    }
    ExactBuffer list(NetworkListSize(count));
    FormatNetworkList(networks.get(), count, list.get());
    Require(CountMultiStrings(list.get(), list.size()) == count, "the written list counts otherwise");
    const char* text = list.get();
    for (size_t i = 0; i < count; ++i, text += strlen(text) + 1)
        Require(NetworkFromText(text) == networks[i] || networks[i] == 0, "a network reads back otherwise",
                text);
}

void SerialMode(const uint8_t* data, size_t size, size_t bufferSize)
{
    uint8_t bytes[8] = {};
    memcpy(bytes, data, size < sizeof(bytes) ? size : sizeof(bytes));
    SerialSettings settings = {uint32_t(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24),
                               bytes[4],
                               bytes[5],
                               bytes[6],
                               (bytes[7] & 1) != 0,
                               (bytes[7] & 2) != 0};
    ExactBuffer out(bufferSize);
    FormatSerialMode(out.get(), out.size(), settings);
    if (bufferSize)
        Require(memchr(out.get(), 0, bufferSize) != nullptr, "serial mode text not terminated");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Selected input = Select(data, size);
    FuzzText stored(input.data, input.size);
    size_t bufferSize = input.choice >> 3 << 2;
    switch (input.choice & 7) {
    case 0:
    case 1:
        return DialText(stored.c_str(), bufferSize), 0;
    case 2:
    case 3:
        return SecondaryInfo(stored.c_str(), bufferSize), 0;
    case 4:
    case 5:
        return HttpText(stored.c_str(), bufferSize), 0;
    case 6:
        return NetworkList(input.data, input.size), 0;
    default:
        return SerialMode(input.data, input.size, bufferSize), 0;
    }
}
