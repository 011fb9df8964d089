// The text helpers that need no Windows (also built natively with the sanitizers).
#include <gtest/gtest.h>

#include "ports/kinds/adapter_name.h"
#include "ports/kinds/bdt_text.h"
#include "ports/kinds/ptp_texts.h"

// A text copied into a field is cut to the field and terminated; a null text reads as empty.
TEST(PortTexts, CopiedCutAndTerminatedSerialModeFromTheControlBlock)
{
    const std::tuple<const char*, size_t, const char*> rows[] = {
        {"10.0.0.1", 24, "10.0.0.1"}, {"47808", 4, "478"}, {"x", 1, ""}, {nullptr, 7, ""}, {nullptr, 1, ""},
    };
    for (auto copy : {CopyNic, CopyBdtText})
        for (const auto& [text, size, expected] : rows) {
            char field[32];
            memset(field, 'Z', sizeof(field));
            copy(field, size, text);
            EXPECT_EQ(std::string(expected) + "Z", field + std::string(1, field[size]))
                << text << " into " << size;
        }

    // The settings text of a device control block: parity, stop bits, handshake (hardware first).
    const std::pair<SerialSettings, const char*> modes[] = {
        {{9600, 2, 7, 1, true, true}, "9600,e,7,1.5,p"},
        {{115200, 1, 8, 2, false, true}, "115200,o,8,2,x"},
        {{110, 3, 5, 0, false, false}, "110,m,5,1"},
        {{4294967295u, 5, 8, 3, false, false}, "4294967295,n,8,1"},
        {{300, 4, 6, 2, false, false}, "300,s,6,2"},
    };
    for (const auto& [settings, text] : modes) {
        char out[PtpTextCapacity];
        FormatSerialMode(out, sizeof(out), settings);
        EXPECT_STREQ(text, out);
    }
}
