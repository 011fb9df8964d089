// Numbers written the way "%i" reads them: optional white space and sign,
// then hexadecimal after 0x or 0X, octal after a leading 0, decimal
// otherwise. Parsing stops at the first character that does not belong to
// the number. Plain C++, no Windows headers.
#pragma once
#include <stdint.h>

// Parses the number at the start of text into value (taken modulo 2^32, as a
// 32-bit scan does with an overlong number) and points end, when given, at
// the first character after it. False, with value and end left as they
// were, when no number stands there; "0x" followed by no hexadecimal digit
// is no number either, as in the system C runtime's "%i".
bool ScanInt(const char* text, int32_t& value, const char** end = nullptr);
