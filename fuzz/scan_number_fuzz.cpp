// "%i" numbers: ScanInt against the C library's strtoull (the same syntax
// when no overflow happens), and the number it read written back with "%d"
// and read again; and written back by FormatDecimal as "%u" writes it.
#include <ctype.h>
#include <errno.h>

#include "fuzz/fuzz_support.h"
#include "registry/scan_number.h"

namespace {

// Where the number of text starts: after white space and a sign.
const char* NumberStart(const char* text)
{
    while (isspace(static_cast<unsigned char>(*text)))
        ++text;
    return *text == '+' || *text == '-' ? text + 1 : text;
}

// "0x" with no hexadecimal digit after it: strtoull reads the 0, the
// system runtime's "%i" (and so ScanInt) reads no number at all.
bool BareHexPrefix(const char* number)
{
    return number[0] == '0' && (number[1] == 'x' || number[1] == 'X') &&
           !isxdigit(static_cast<unsigned char>(number[2]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzText input(data, size);
    const char* text = input.c_str();
    int32_t value = 12345;
    const char* end = nullptr;
    bool number = ScanInt(text, value, &end);

    errno = 0;
    char* expectedEnd;
    unsigned long long expected = strtoull(text, &expectedEnd, 0);
    bool overflow = errno == ERANGE;
    if (!number) {
        Require(value == 12345 && end == nullptr, "no number changed value or end", text);
        Require(expectedEnd == text || BareHexPrefix(NumberStart(text)), "strtoull read a number", text);
        return 0;
    }
    Require(end > text && end <= text + input.size(), "end outside the text", text);
    Require(end == expectedEnd, "end differs from strtoull's", text, end);
    if (!overflow)
        Require(uint32_t(value) == uint32_t(expected), "value differs from strtoull's modulo 2^32", text);

    char written[16];
    snprintf(written, sizeof(written), "%d", int(value));
    int32_t again = 0;
    Require(ScanInt(written, again) && again == value, "%d of the value reads back otherwise", text, written);
    char decimal[16];
    snprintf(written, sizeof(written), "n%u", uint32_t(value));
    Require(FormatDecimal(decimal, sizeof(decimal), "n", uint32_t(value)) && strcmp(decimal, written) == 0,
            "FormatDecimal differs from %u", text, decimal);
    return 0;
}
