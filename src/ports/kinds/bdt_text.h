// The texts of a BACnet/IP port that are stored and parsed: a broadcast
// distribution table entry, its registry form, and the "/UDP:" secondary
// info. Plain C++, no Windows headers, so that they can be tested and
// fuzzed anywhere.
#pragma once
#include <stddef.h>
#include <stdint.h>

// One entry of a broadcast distribution table, kept as the texts the user
// typed; a row of the BBMD page's list is read into the same record.
struct BdtEntry {
    char ipText[24];
    char udpText[7];
    char subnetText[24];
};

// The UDP port of BACnet/IP, and its "%i" text as stored by default.
inline constexpr uint32_t DefaultUdpPort = 47808;
inline constexpr char DefaultUdpText[] = "0xBAC0";

// Copies at most size - 1 characters of text (null reads as empty) and
// terminates; nothing when size is 0.
void CopyBdtText(char* field, size_t size, const char* text);
template <size_t N>
void CopyBdtText(char (&field)[N], const char* text)
{
    CopyBdtText(field, N, text);
}

// The entry's stored text: /IP:"ip" /UDP:"udp" /SUBNET:"mask", a text that
// holds a quote, slash or dash written empty (it would not read back). False,
// with the text cut, when it does not fit in size.
bool FormatBdtEntry(const BdtEntry& entry, char* buffer, size_t size);
// The entry in a stored text; a missing option gives an empty text, and
// each text is cut to its field.
BdtEntry ParseBdtEntry(const char* text);
// Each text equal to the other's without regard to letter case.
bool EntriesEqual(const BdtEntry& a, const BdtEntry& b);

// A UDP port typed as "%i" text: 1..65535, or 0 for any other number and
// for text that holds none.
uint32_t ParseUdpPortText(const char* text);
// A stored UDP port made usable: 0 becomes 1, above 65535 becomes 65535.
uint32_t ClampStoredUdpPort(uint32_t port);
// "/UDP:%u" of port; false, with the text cut, when it does not fit.
bool FormatUdpInfo(uint32_t port, char* buffer, size_t size);
// The number option "UDP" of a secondary info, DefaultUdpPort when absent.
uint32_t ParseUdpInfo(const char* text);

// The mask of an address's class, both in host byte order: class A
// 255.0.0.0, B 255.255.0.0, C 255.255.255.0, any other 255.255.255.255.
uint32_t ClassfulMask(uint32_t address);
