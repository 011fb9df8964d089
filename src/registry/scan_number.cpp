#include "registry/scan_number.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Value of c as a digit of base, or -1.
int DigitValue(char c, unsigned base)
{
    int digit = -1;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit >= 0 && unsigned(digit) < base ? digit : -1;
}

}  // namespace

bool ScanInt(const char* text, int32_t& value, const char** end)
{
    if (!text)
        return false;
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';

    unsigned base = 10;
    bool digits = false;
    if (*p == '0') {
        // The 0 itself is a number even when no digit follows it, but not
        // when an x follows: "%i" takes "0x" as the start of a hexadecimal
        // number, and without a hexadecimal digit after it that is no number
        // at all (as the runtime's own scan reports).
        digits = true;
        ++p;
        if (*p == 'x' || *p == 'X') {
            if (DigitValue(p[1], 16) < 0)
                return false;
            base = 16;
            ++p;
        } else {
            base = 8;
        }
    }
    uint32_t result = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p) {
        result = result * base + unsigned(digit);
        digits = true;
    }
    if (!digits)
        return false;
    if (negative)
        result = 0u - result;
    value = int32_t(result);
    if (end)
        *end = p;
    return true;
}

bool FormatDecimal(char* buffer, size_t size, const char* prefix, uint32_t value)
{
    if (!buffer || size == 0)
        return false;
    char digits[10];
    size_t count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    size_t length = 0;
    for (; prefix && *prefix && length + 1 < size; ++prefix)
        buffer[length++] = *prefix;
    while (count && length + 1 < size)
        buffer[length++] = digits[--count];
    buffer[length] = '\0';
    return count == 0 && !(prefix && *prefix);
}
