#include "ports/kinds/com20020_info.h"

#include <stdio.h>
#include <string.h>

#include "registry/parameter_string.h"

const char* const DataRateTexts[DataRateCount] = {"2.5", "1.25", "625", "312.5", "156.25"};

namespace {

// The extended time-out settings by the factor the stack reads.
const int32_t TimeoutFactors[] = {1, 2, 8, 16};
const uint32_t TimeoutCount = sizeof(TimeoutFactors) / sizeof(TimeoutFactors[0]);

int32_t TimeoutFactor(uint32_t setting) { return setting < TimeoutCount ? TimeoutFactors[setting] : 1; }

uint32_t TimeoutSetting(int32_t factor)
{
    for (uint32_t setting = 0; setting < TimeoutCount; ++setting)
        if (TimeoutFactors[setting] == factor)
            return setting;
    return 0;
}

const char* DataRateText(uint32_t index)
{
    return index < DataRateCount ? DataRateTexts[index] : DataRateTexts[0];
}

int32_t Irq(int32_t line) { return line >= 2 && line <= 15 ? line : -1; }

}  // namespace

uint32_t DataRateIndexOf(const char* text)
{
    for (uint32_t index = 0; text && index < DataRateCount; ++index)
        if (strcmp(text, DataRateTexts[index]) == 0)
            return index;
    return 0;
}

void FormatSecondaryInfo(const Com20020Settings& settings, char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return;
    snprintf(buffer, size, "/ioport:%#x /irq:%d /nodeid:%d /baud:\"%s\" /naks:%d /extimeout:%d%s%s",
             unsigned(settings.ioPort), int(settings.irq == -1 ? 0 : settings.irq), int(settings.nodeId),
             DataRateText(settings.dataRateIndex), settings.excessiveNaks128 ? 128 : 4,
             int(TimeoutFactor(settings.extendedTimeout)), settings.backplaneMode ? " /bplane" : "",
             settings.slowArbitration ? " /slowarb" : "");
}

Com20020Settings ParseSecondaryInfo(const char* text)
{
    ParameterString line(text);
    Com20020Settings settings;
    settings.ioPort = line.GetUInt("ioport", 0);
    settings.nodeId = line.GetUInt("nodeid", 0);
    settings.backplaneMode = line.HasOption("bplane");
    settings.slowArbitration = line.HasOption("slowarb");
    settings.irq = Irq(line.GetInt("irq", -1));
    settings.excessiveNaks128 = line.GetInt("naks", 128) == 128;
    settings.extendedTimeout = TimeoutSetting(line.GetInt("extimeout", 1));
    char rate[SecondaryInfoCapacity];
    line.GetString("baud", rate, sizeof(rate), DataRateTexts[0]);
    settings.dataRateIndex = DataRateIndexOf(rate);
    return settings;
}
