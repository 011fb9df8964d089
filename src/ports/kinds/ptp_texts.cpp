#include "ports/kinds/ptp_texts.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "registry/parameter_string.h"
#include "registry/scan_number.h"

namespace {

// Appends formatted pieces to a buffer of a given size; a piece that does
// not fit is cut and the text marked as cut. The buffer is always
// terminated.
class TextBuilder {
public:
    TextBuilder(char* out, size_t size) : out(out), size(size)
    {
        if (out && size)
            out[0] = '\0';
        fits = out && size;
    }

    TextBuilder& Add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        if (!out || length + 1 >= size) {
            fits = fits && format[0] == '\0';
            return *this;
        }
        va_list args;
        va_start(args, format);
        int wanted = vsnprintf(out + length, size - length, format, args);
        va_end(args);
        if (wanted < 0) {
            out[length] = '\0';
            fits = false;
        } else if (size_t(wanted) >= size - length) {
            out[size - 1] = '\0';
            length = size - 1;
            fits = false;
        } else {
            length += size_t(wanted);
        }
        return *this;
    }
    bool Fits() const { return fits; }

private:
    char* out;
    size_t size;
    size_t length = 0;
    bool fits;
};

// GetString of an option into a field, "" when absent; true when present.
bool ReadText(const ParameterString& line, const char* name, char (&field)[PtpTextCapacity])
{
    line.GetString(name, field, sizeof(field), "");
    return line.HasOption(name);
}

const char* ParityLetter(unsigned parity)
{
    static const char* const letters[] = {"n", "o", "e", "m", "s"};
    return parity < 5 ? letters[parity] : "n";
}

const char* StopBitsText(unsigned stopBits)
{
    static const char* const texts[] = {"1", "1.5", "2"};
    return stopBits < 3 ? texts[stopBits] : "1";
}

}  // namespace

bool FormatDialParameters(char* out, size_t size, const DialSettings& settings)
{
    TextBuilder text(out, size);
    if (settings.phones)
        text.Add("/phones:\"%s\"", settings.phones);
    text.Add(" /retries:%d", int(settings.retries));
    text.Add(" /interval:%u", unsigned(settings.interval)).Add(" /rings:%u", unsigned(settings.rings));
    if (settings.initstr)
        text.Add(" /initstr:\"%s\"", settings.initstr);
    if (settings.dialstr)
        text.Add(" /dialstr:\"%s\"", settings.dialstr);
    return text.Fits();
}

DialTexts::DialTexts(const char* text)
{
    ParameterString line(text);
    hasPhones = ReadText(line, "phones", phones);
    hasInitstr = ReadText(line, "initstr", initstr);
    hasDialstr = ReadText(line, "dialstr", dialstr);
    retries = line.GetInt("retries", 1);
    interval = line.GetUInt("interval", 0);
    rings = line.GetUInt("rings", 1);
}

DialSettings DialTexts::Settings() const
{
    return {hasPhones ? phones : nullptr,  retries, interval, rings, hasInitstr ? initstr : nullptr,
            hasDialstr ? dialstr : nullptr};
}

bool FormatModeParameter(char* out, size_t size, const char* modeText, bool edited)
{
    return TextBuilder(out, size)
        .Add(edited ? "/MODE:\"%s\"" : "/mode:\"%s\"", modeText ? modeText : "")
        .Fits();
}

void GetModeText(const char* modeParameter, char* out, size_t size)
{
    ParameterString(modeParameter).GetString("mode", out, size, "");
}

bool FormatSecondaryInfo(char* out, size_t size, const char* modeParameter, bool modem,
                         const char* dialParameters)
{
    TextBuilder text(out, size);
    text.Add("%s", modeParameter ? modeParameter : "");
    if (modem)
        text.Add(" /modem");
    return text.Add(" %s", dialParameters ? dialParameters : "").Fits();
}

SecondaryInfoParts::SecondaryInfoParts(const char* text)
{
    ParameterString line(text);
    char modeText[PtpTextCapacity];
    line.GetString("mode", modeText, sizeof(modeText), DefaultModeText);
    // A stored text is at most 255 characters, so a quoted mode text always
    // fits again; only a plain value of more than 247 characters is cut.
    FormatModeParameter(modeParameter, sizeof(modeParameter), modeText, false);
    modem = line.HasOption("modem");
    DialTexts dial(text);
    FormatDialParameters(dialParameters, sizeof(dialParameters), dial.Settings());
}

void FormatSerialMode(char* out, size_t size, const SerialSettings& settings)
{
    const char* flow = settings.hardwareFlow ? ",p" : settings.xonXoff ? ",x" : "";
    TextBuilder(out, size).Add("%lu,%s,%u,%s%s", (unsigned long)settings.baudRate,
                               ParityLetter(settings.parity), settings.byteSize,
                               StopBitsText(settings.stopBits), flow);
}

uint16_t NetworkFromText(const char* text)
{
    int32_t value;
    if (!text || !ScanInt(text, value) || value < 1 || value > 65534)
        return 0;
    return uint16_t(value);
}

size_t CountMultiStrings(const char* list, size_t size)
{
    size_t count = 0, at = 0;
    while (list && at < size && list[at]) {
        size_t length = strnlen(list + at, size - at);
        at += length + 1;
        ++count;
    }
    return count;
}

void FormatNetworkList(const uint16_t* networks, size_t count, char* out)
{
    char* at = out;
    for (size_t i = 0; i < count; ++i)
        at += snprintf(at, 7, "%u", unsigned(networks[i])) + 1;
    *at = '\0';
}

void OhttpSettings::Reset()
{
    serverMode = true;
    clientId = 1;
    serverPort = 1;
    serverHost[0] = '\0';
    proxyPort = 1;
    proxyHost[0] = '\0';
}

bool ComposeParameterText(const OhttpSettings& s, char* out, size_t size)
{
    TextBuilder text(out, size);
    if (s.serverMode) {
        text.Add("-server:%u -port:%i", unsigned(s.clientId), int(s.serverPort));
        if (s.serverHost[0])
            text.Add(" -host:\"%s\"", s.serverHost);
        return text.Fits();
    }
    text.Add("-client:%u -server_port:%i -server_host:\"%s\"", unsigned(s.clientId), int(s.serverPort),
             s.serverHost);
    if (s.proxyHost[0]) {
        text.Add(" -proxy_host:\"%s\"", s.proxyHost);
        if (s.proxyPort)
            text.Add(" -proxy_port:%u", unsigned(s.proxyPort));
    }
    return text.Fits();
}

void ParseParameterText(const char* text, OhttpSettings& s)
{
    ParameterString line(text);
    if (line.HasOption("server")) {
        s.serverMode = true;
        s.clientId = line.GetUInt("server", 0);
        s.serverPort = line.GetInt("port", 0);
        ReadText(line, "host", s.serverHost);
        return;
    }
    if (!line.HasOption("client")) {
        s.Reset();
        return;
    }
    s.serverMode = false;
    s.clientId = line.GetUInt("client", 0);
    s.serverPort = line.GetInt("server_port", 0);
    ReadText(line, "server_host", s.serverHost);
    s.proxyPort = line.HasOption("proxy_port") ? line.GetUInt("proxy_port", 0) : 1;
    ReadText(line, "proxy_host", s.proxyHost);
}
