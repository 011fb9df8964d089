// The ARCNET secondary info: any stored text parses to settings that, once
// formatted, parse back to the same settings and format to the same text;
// formatting into any buffer size stays inside it and cuts to a prefix.
//
// Input: a buffer size byte, then the stored text.
#include "fuzz/fuzz_support.h"
#include "ports/kinds/com20020_info.h"

namespace {

bool SameSettings(const Com20020Settings& a, const Com20020Settings& b)
{
    return a.irq == b.irq && a.ioPort == b.ioPort && a.nodeId == b.nodeId &&
           a.dataRateIndex == b.dataRateIndex && a.backplaneMode == b.backplaneMode &&
           a.excessiveNaks128 == b.excessiveNaks128 && a.slowArbitration == b.slowArbitration &&
           a.extendedTimeout == b.extendedTimeout;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Selected input = Select(data, size);
    FuzzText stored(input.data, input.size);
    Com20020Settings read = ParseSecondaryInfo(stored.c_str());
    Require(read.dataRateIndex < DataRateCount && read.extendedTimeout < 4, "an index out of its table",
            stored.c_str());
    Require(read.irq == -1 || (read.irq >= 2 && read.irq <= 15), "an interrupt line out of range",
            stored.c_str());

    char written[SecondaryInfoCapacity];
    FormatSecondaryInfo(read, written, sizeof(written));
    Com20020Settings again = ParseSecondaryInfo(written);
    Require(SameSettings(read, again), "the written text reads back otherwise", stored.c_str(), written);
    char rewritten[SecondaryInfoCapacity];
    FormatSecondaryInfo(again, rewritten, sizeof(rewritten));
    RequireSame(written, rewritten, "the text written twice");

    ExactBuffer part(input.choice);
    FormatSecondaryInfo(read, part.get(), part.size());
    if (part.size())
        Require(strncmp(written, part.get(), part.size() - 1) == 0 && memchr(part.get(), 0, part.size()),
                "a cut text is no terminated prefix", written, part.get());
    return 0;
}
