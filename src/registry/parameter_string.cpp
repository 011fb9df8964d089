#include "registry/parameter_string.h"

#include "registry/scan_number.h"

namespace {

bool IsNameChar(char c) { return IsAsciiAlnum(c) || c == '_'; }

// The next character at or after p that may start an option, or the end.
const char* NextOptionStart(const char* p)
{
    while (*p && *p != '/' && *p != '-')
        ++p;
    return p;
}

// Compares the text at p with name, case folded, and returns where the
// comparison stopped: at the end of the name (matched is then true), at the
// first pair that differs or at the end of the text.
const char* MatchName(const char* p, const char* name, bool& matched)
{
    // Equal characters need no folding; most of them are equal.
    while (*name && *p && (*p == *name || AsciiUpper(*p) == AsciiUpper(*name))) {
        ++p;
        ++name;
    }
    matched = *name == '\0';
    return p;
}

// Writes characters into a buffer of a given size, keeping at most size - 1
// of them and dropping the rest; Finish terminates the buffer.
class BoundedWriter {
public:
    BoundedWriter(char* buffer, size_t size) : out(buffer), room(size - 1) {}
    void Put(char c)
    {
        if (room) {
            *out++ = c;
            --room;
        }
    }
    void Finish() { *out = '\0'; }

private:
    char* out;
    size_t room;
};

// A value in double quotes, starting after the opening quote: two quotes in
// a row stand for one, a quote followed by anything else (or the end of the
// text) closes the value.
void CopyQuoted(const char* p, BoundedWriter& writer)
{
    for (; *p; ++p) {
        if (*p == '"') {
            if (p[1] != '"')
                return;
            ++p;
        }
        writer.Put(*p);
    }
}

void CopyPlain(const char* p, BoundedWriter& writer)
{
    for (; IsNameChar(*p); ++p)
        writer.Put(*p);
}

void CopyText(const char* p, BoundedWriter& writer)
{
    for (; p && *p; ++p)
        writer.Put(*p);
}

}  // namespace

bool ParameterString::IsOptionName(const char* name)
{
    if (!name || !*name)
        return false;
    for (; *name; ++name) {
        if (!IsNameChar(*name))
            return false;
    }
    return true;
}

// Looks at every slash or dash in turn, also those inside values: the scan
// never skips a value. A candidate whose name goes on past the wanted one
// ("/naks" when "nak" is wanted) is not a match.
bool ParameterString::FindOption(const char* name, const char** value) const
{
    if (value)
        *value = nullptr;
    if (!text || !name)
        return false;
    const char* p = text;
    for (;;) {
        p = NextOptionStart(p);
        if (!*p)
            return false;
        bool matched;
        p = MatchName(p + 1, name, matched);
        if (!matched || IsNameChar(*p))
            continue;
        if (value && *p == ':')
            *value = p + 1;
        return true;
    }
}

bool ParameterString::HasOption(const char* name) const { return IsOptionName(name) && FindOption(name); }

int32_t ParameterString::GetInt(const char* name, int32_t def) const
{
    const char* value;
    if (!FindOption(name, &value) || !value)
        return def;
    int32_t number;
    return ScanInt(value, number) ? number : 0;
}

uint32_t ParameterString::GetUInt(const char* name, uint32_t def) const
{
    return static_cast<uint32_t>(GetInt(name, static_cast<int32_t>(def)));
}

void ParameterString::GetString(const char* name, char* buffer, size_t size, const char* def) const
{
    if (!buffer || size == 0)
        return;
    BoundedWriter writer(buffer, size);
    const char* value;
    if (!FindOption(name, &value) || !value)
        CopyText(def, writer);
    else if (*value == '"')
        CopyQuoted(value + 1, writer);
    else
        CopyPlain(value, writer);
    writer.Finish();
}
