// Parameter strings: one line of options /name or /name:value (a dash may
// stand in place of the slash), as several port kinds store their settings
// in a single registry string. A value is a "%i" number, a plain run of
// letters, digits and underscores, or a text in double quotes in which two
// quotes in a row stand for one. Plain C++, no Windows headers.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Letters and digits of the stored texts, and their case folding: ASCII
// only, as the C runtime's "C" locale has them, and the same whatever
// locale the host process set in the runtime it shares with this module.
inline bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// A read-only view of one NUL-terminated line. It keeps only the pointer:
// the caller keeps the text alive while the view is used. A null text reads
// as an empty line, a null name as an option that is absent.
class ParameterString {
public:
    explicit ParameterString(const char* text) : text(text) {}

    // True when name has at least one character and every character is a
    // letter, a digit or an underscore.
    static bool IsOptionName(const char* name);

    // True when the option is present. The first occurrence wins. value,
    // when given, receives the start of the option's value (the character
    // after the colon), or null when the option has none or is absent.
    bool FindOption(const char* name, const char** value = nullptr) const;
    // True when name is a valid option name and the option is present, with
    // or without a value.
    bool HasOption(const char* name) const;

    // The option's value read as "%i" (wrapping modulo 2^32); def when the
    // option is absent or has no value; 0 when the value holds no number.
    int32_t GetInt(const char* name, int32_t def) const;
    uint32_t GetUInt(const char* name, uint32_t def) const;

    // Copies the option's value, or def when the option is absent or has no
    // value, into buffer: at most size - 1 characters, always terminated.
    // Nothing is written when buffer is null or size is 0.
    void GetString(const char* name, char* buffer, size_t size, const char* def) const;

private:
    const char* text;
};
