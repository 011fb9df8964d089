// Numbers written the way "%i" reads them: optional white space and sign,
// then hexadecimal after 0x or 0X, octal after a leading 0, decimal
// otherwise. Parsing stops at the first character that does not belong to
// the number. Plain C++, no Windows headers.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Parses the number at the start of text into value (taken modulo 2^32, as a
// 32-bit scan does with an overlong number) and points end, when given, at
// the first character after it. False, with value and end left as they
// were, when no number stands there; "0x" followed by no hexadecimal digit
// is no number either, as in the system C runtime's "%i".
bool ScanInt(const char* text, int32_t& value, const char** end = nullptr);

// Writes prefix followed by value in decimal ("%s%u") into buffer of size
// bytes, always terminated when size is not 0. False, with as much as fits,
// when the whole text does not fit. The load of a full table names some
// two thousand entries, broadcast distribution entries and shown numbers,
// and the C runtime's formatting of them is a visible share of the load.
bool FormatDecimal(char* buffer, size_t size, const char* prefix, uint32_t value);
