// The serial settings text, formatted without Windows (the other texts are
// checked through the ports that store them).
#include <gtest/gtest.h>

#include "ports/kinds/ptp_texts.h"

// The settings text of a device control block: parity letters, stop bits,
// and hardware handshake winning over XON/XOFF.
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
