// What the fuzzing targets share: the input as a NUL-terminated text in a
// heap block of its exact size (AddressSanitizer then sees any read past its
// end), checks that stop the run with what they saw, and the test of whether
// a text value survives being written into a parameter string and read back.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <memory>

#include "registry/parameter_string.h"

// The input up to its first NUL, terminated; what follows a NUL is dropped,
// as a registry string read stops there.
class FuzzText {
public:
    FuzzText(const uint8_t* data, size_t size)
    {
        const void* nul = memchr(data, 0, size);
        length = nul ? size_t(static_cast<const uint8_t*>(nul) - data) : size;
        text.reset(new char[length + 1]);
        memcpy(text.get(), data, length);
        text[length] = '\0';
    }
    const char* c_str() const { return text.get(); }
    size_t size() const { return length; }

private:
    std::unique_ptr<char[]> text;
    size_t length;
};

// A buffer of exactly size bytes on the heap, so that a write past size is
// reported.
class ExactBuffer {
public:
    explicit ExactBuffer(size_t size) : block(new char[size ? size : 1]), capacity(size) {}
    char* get() { return block.get(); }
    size_t size() const { return capacity; }

private:
    std::unique_ptr<char[]> block;
    size_t capacity;
};

[[noreturn]] inline void Fail(const char* what, const char* first, const char* second)
{
    fprintf(stderr, "check failed: %s\n  [%s]\n  [%s]\n", what, first ? first : "(null)",
            second ? second : "(null)");
    abort();
}

// Stops the run when condition is false, printing two texts to look at.
inline void Require(bool condition, const char* what, const char* first = "", const char* second = "")
{
    if (!condition)
        Fail(what, first, second);
}

inline void RequireSame(const char* expected, const char* got, const char* what)
{
    Require(strcmp(expected, got) == 0, what, expected, got);
}

// True when a text value written between double quotes as it is (the way
// every writer of a parameter string writes text) reads back unchanged: it
// holds no double quote, and no option of any name of the line starts
// inside it, since the option scan does not skip values.
inline bool Carried(const char* value, std::initializer_list<const char*> names)
{
    if (strchr(value, '"'))
        return false;
    ParameterString text(value);
    for (const char* name : names)
        if (text.FindOption(name))
            return false;
    return true;
}

// The index byte of an input and the text after it.
struct Selected {
    unsigned choice;
    const uint8_t* data;
    size_t size;
};
inline Selected Select(const uint8_t* data, size_t size)
{
    if (size == 0)
        return {0, data, 0};
    return {data[0], data + 1, size - 1};
}
