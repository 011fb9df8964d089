// Parameter strings: every lookup of a name in a line stays inside the line
// and inside the caller's buffer; a text written in double quotes with its
// quotes doubled, and a number written with "%d", read back unchanged.
//
// Input: a buffer size byte, then the name up to the first line feed, then
// the line.
#include "fuzz/fuzz_support.h"

namespace {

struct Query {
    size_t bufferSize;
    FuzzText name, line;
};

size_t NameLength(const uint8_t* data, size_t size)
{
    const void* feed = memchr(data, '\n', size);
    return feed ? size_t(static_cast<const uint8_t*>(feed) - data) : size;
}

void LookUp(const char* name, const char* line, size_t lineLength, size_t bufferSize)
{
    ParameterString text(line);
    const char* value = line;
    bool found = text.FindOption(name, &value);
    Require(!value || (found && value > line && value <= line + lineLength), "value outside the line", line);
    Require(text.HasOption(name) == (found && ParameterString::IsOptionName(name)), "HasOption", name);
    if (!found || !value)
        Require(text.GetInt(name, -7) == -7, "no value yet no default", line);

    ExactBuffer buffer(bufferSize);
    text.GetString(name, buffer.get(), buffer.size(), "default");
    if (bufferSize)
        Require(memchr(buffer.get(), 0, bufferSize) != nullptr, "GetString left no terminator", line);
}

// /name:"value" with each quote of value doubled reads back as value.
void QuotedRoundTrip(const char* name, const char* value, size_t valueLength)
{
    std::unique_ptr<char[]> line(new char[strlen(name) + 2 * valueLength + 5]);
    char* at = line.get();
    at += sprintf(at, "/%s:\"", name);
    for (const char* v = value; *v; ++v) {
        if (*v == '"')
            *at++ = '"';
        *at++ = *v;
    }
    strcpy(at, "\"");
    ExactBuffer read(valueLength + 1);
    ParameterString(line.get()).GetString(name, read.get(), read.size(), "");
    RequireSame(value, read.get(), "a quoted value read back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Selected input = Select(data, size);
    size_t nameLength = NameLength(input.data, input.size);
    FuzzText name(input.data, nameLength);
    size_t rest = nameLength < input.size ? nameLength + 1 : input.size;
    FuzzText line(input.data + rest, input.size - rest);

    LookUp(name.c_str(), line.c_str(), line.size(), input.choice);
    LookUp(nullptr, line.c_str(), line.size(), input.choice);
    if (!ParameterString::IsOptionName(name.c_str()))
        return 0;
    QuotedRoundTrip(name.c_str(), line.c_str(), line.size());

    int32_t number = int32_t(input.choice * 0x01010101u ^ uint32_t(line.size()));
    char written[96];
    snprintf(written, sizeof(written), "-%.60s:%d", name.c_str(), int(number));
    if (strlen(name.c_str()) <= 60)
        Require(ParameterString(written).GetInt(name.c_str(), 0) == number, "a %d value read back otherwise",
                written);
    return 0;
}
