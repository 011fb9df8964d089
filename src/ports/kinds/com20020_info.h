// The hardware settings of an ARCNET port on a COM20020 controller and the
// parameter string, its "Secondary_Info", in which the stack reads them:
//   /ioport:0x2e0 /irq:5 /nodeid:10 /baud:"2.5" /naks:128 /extimeout:1 /bplane /slowarb
// Plain C++, no Windows headers.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Characters of "Secondary_Info" with the terminator.
inline constexpr size_t SecondaryInfoCapacity = 256;

// The data rates in the order of the dialog's list, from 2.5 Mbit/s down.
inline constexpr uint32_t DataRateCount = 5;
extern const char* const DataRateTexts[DataRateCount];

// What a new port holds; an empty "Secondary_Info" parses to the same.
struct Com20020Settings {
    int32_t irq = -1;  // interrupt line 2..15, -1 for none
    uint32_t ioPort = 0;
    uint32_t nodeId = 0;
    uint32_t dataRateIndex = 0;  // into DataRateTexts; any other formats as "2.5"
    bool backplaneMode = false;
    bool excessiveNaks128 = true;  // the NAK threshold: 128 when set, 4 when clear
    bool slowArbitration = false;
    uint32_t extendedTimeout = 0;  // 0 normal, 1 x2, 2 x8, 3 x16
};

// The index of the data-rate text equal to text (case-sensitive), 0 when
// none is.
uint32_t DataRateIndexOf(const char* text);

// Writes the parameter string of settings into buffer (at most size - 1
// characters, always terminated; nothing when buffer is null or size 0).
void FormatSecondaryInfo(const Com20020Settings& settings, char* buffer, size_t size);

// The settings a parameter string holds; a missing or damaged option takes
// its default, an interrupt line outside 2..15 reads as none, a NAK
// threshold other than 128 as 4, an unknown time-out factor as normal.
Com20020Settings ParseSecondaryInfo(const char* text);
