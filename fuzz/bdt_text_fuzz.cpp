// The broadcast distribution table entry text, the UDP helpers, and the
// copies of a stored text into a field (of an entry, of an adapter name). A
// stored entry text, parsed, formatted and parsed again, gives the same
// entry, a text holding a quote, '/' or '-' being stored empty; every field stays terminated
// inside its size and every formatted text inside its buffer; an entry
// saved, read and saved again is stored the same; a UDP port
// read from text is written and read back the same; a copy is a terminated
// prefix of the text.
//
// Input: a buffer size byte, then the stored text.
#include "fuzz/fuzz_support.h"
#include "ports/kinds/adapter_name.h"
#include "ports/kinds/bdt_text.h"

namespace {

// The registry form of an entry is read with at most 79 characters.
const size_t EntryTextCapacity = 80;

template <size_t N>
void RequireTerminated(const char (&field)[N], const char* stored)
{
    Require(memchr(field, 0, N) != nullptr, "a field without terminator", stored);
}

// A field as a save stores it: a text holding a quote or the start of an
// option is stored empty.
const char* Kept(const char* text) { return strpbrk(text, "\"/-") ? "" : text; }

void EntryText(const char* stored, size_t bufferSize)
{
    BdtEntry read = ParseBdtEntry(stored);
    RequireTerminated(read.ipText, stored);
    RequireTerminated(read.udpText, stored);
    RequireTerminated(read.subnetText, stored);
    char written[EntryTextCapacity];
    Require(FormatBdtEntry(read, written, sizeof(written)), "a parsed entry does not fit its text", stored);
    ExactBuffer part(bufferSize);
    bool fits = FormatBdtEntry(read, part.get(), part.size());
    Require(fits == (bufferSize > strlen(written)), "a cut entry text reported otherwise", written);
    if (bufferSize)
        Require(strncmp(written, part.get(), bufferSize - 1) == 0 && memchr(part.get(), 0, bufferSize),
                "a cut entry text is no terminated prefix", written, part.get());
    BdtEntry again = ParseBdtEntry(written);
    RequireSame(Kept(read.ipText), again.ipText, "IP");
    RequireSame(Kept(read.udpText), again.udpText, "UDP");
    RequireSame(Kept(read.subnetText), again.subnetText, "SUBNET");
    char rewritten[EntryTextCapacity];
    Require(FormatBdtEntry(again, rewritten, sizeof(rewritten)), "a saved entry does not fit its text",
            written);
    RequireSame(written, rewritten, "an entry saved twice");
}

void UdpPort(const char* stored, size_t bufferSize)
{
    uint32_t port = ParseUdpPortText(stored);
    Require(port <= 65535, "a UDP port above 65535", stored);
    uint32_t stored32 = ParseUdpInfo(stored);
    uint32_t usable = ClampStoredUdpPort(stored32);
    Require(usable >= 1 && usable <= 65535, "a clamped port out of range", stored);

    char info[16];
    Require(FormatUdpInfo(usable, info, sizeof(info)), "/UDP: of a port does not fit 16 bytes");
    Require(ParseUdpInfo(info) == usable, "/UDP: of a port reads back otherwise", info);
    ExactBuffer part(bufferSize);
    bool fits = FormatUdpInfo(usable, part.get(), part.size());
    Require(fits == (bufferSize > strlen(info)), "a cut /UDP: text reported otherwise", info);
    if (bufferSize)
        Require(memchr(part.get(), 0, bufferSize) != nullptr, "/UDP: text not terminated", info);
}

void CopyText(const char* stored, size_t bufferSize)
{
    void (*const copies[])(char*, size_t, const char*) = {CopyBdtText, CopyNic};
    for (auto copy : copies) {
        ExactBuffer field(bufferSize);
        copy(field.get(), field.size(), stored);
        if (bufferSize)
            Require(strncmp(stored, field.get(), bufferSize - 1) == 0 && memchr(field.get(), 0, bufferSize),
                    "a copied text is no terminated prefix", stored);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Selected input = Select(data, size);
    FuzzText stored(input.data, input.size);
    EntryText(stored.c_str(), input.choice % EntryTextCapacity);
    UdpPort(stored.c_str(), input.choice & 31);
    CopyText(stored.c_str(), input.choice & 31);
    return 0;
}
