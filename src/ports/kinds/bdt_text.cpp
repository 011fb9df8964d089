#include "ports/kinds/bdt_text.h"

#include <stdio.h>
#include <string.h>

#include "registry/parameter_string.h"
#include "registry/scan_number.h"

namespace {

// Both texts equal after folding each character's case.
bool TextsEqualIgnoringCase(const char* a, const char* b)
{
    // Equal characters need no folding: the table check compares every pair
    // of entries, and their texts mostly agree up to a few characters.
    for (;; ++a, ++b) {
        if (*a != *b && AsciiUpper(*a) != AsciiUpper(*b))
            return false;
        if (!*a)
            return true;
    }
}

// snprintf that reports a cut: true when the whole text fitted.
bool Fits(int written, size_t size) { return written >= 0 && size_t(written) < size; }

// The text as it may stand in double quotes in the stored entry: a quote
// would end it early, and the reader takes every slash or dash, inside a
// value too, for the start of an option ("/UDP:" in the IP text would be
// read as the port). No valid address or port holds any of them; such a
// text is stored empty, so that what a save writes reads back the same.
const char* Storable(const char* text) { return strpbrk(text, "\"/-") ? "" : text; }

}  // namespace

void CopyBdtText(char* field, size_t size, const char* text)
{
    if (!field || size == 0)
        return;
    size_t length = text ? strnlen(text, size - 1) : 0;
    // memmove is undefined for a null source even when it copies nothing.
    if (length)
        memmove(field, text, length);
    field[length] = '\0';
}

bool FormatBdtEntry(const BdtEntry& entry, char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return false;
    return Fits(snprintf(buffer, size, "/%s:\"%s\" /%s:\"%s\" /%s:\"%s\"", "IP", Storable(entry.ipText),
                         "UDP", Storable(entry.udpText), "SUBNET", Storable(entry.subnetText)),
                size);
}

BdtEntry ParseBdtEntry(const char* text)
{
    BdtEntry entry;
    ParameterString line(text);
    line.GetString("IP", entry.ipText, sizeof(entry.ipText), "");
    line.GetString("UDP", entry.udpText, sizeof(entry.udpText), "");
    line.GetString("SUBNET", entry.subnetText, sizeof(entry.subnetText), "");
    return entry;
}

bool EntriesEqual(const BdtEntry& a, const BdtEntry& b)
{
    return TextsEqualIgnoringCase(a.ipText, b.ipText) && TextsEqualIgnoringCase(a.udpText, b.udpText) &&
           TextsEqualIgnoringCase(a.subnetText, b.subnetText);
}

uint32_t ParseUdpPortText(const char* text)
{
    int32_t port;
    if (!text || !ScanInt(text, port) || port < 1 || port > 65535)
        return 0;
    return uint32_t(port);
}

uint32_t ClampStoredUdpPort(uint32_t port)
{
    if (port == 0)
        return 1;
    return port > 65535 ? 65535 : port;
}

bool FormatUdpInfo(uint32_t port, char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return false;
    return Fits(snprintf(buffer, size, "/UDP:%u", unsigned(port)), size);
}

uint32_t ParseUdpInfo(const char* text) { return ParameterString(text).GetUInt("UDP", DefaultUdpPort); }

uint32_t ClassfulMask(uint32_t address)
{
    if ((address & 0x80000000u) == 0)
        return 0xFF000000u;
    if ((address & 0xC0000000u) == 0x80000000u)
        return 0xFFFF0000u;
    if ((address & 0xE0000000u) == 0xC0000000u)
        return 0xFFFFFF00u;
    return 0xFFFFFFFFu;
}
