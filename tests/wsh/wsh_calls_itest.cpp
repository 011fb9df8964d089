// The helper calls as the Windows Sockets framework sees them: loaded from
// tolmarin.dll by name and called with the framework's arguments.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "wsh_exports.h"

namespace {

const BYTE Fill = 0xA5;

bool AllFill(const void* data, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    return std::all_of(bytes, bytes + size, [](BYTE b) { return b == Fill; });
}

// "result stored-length last-error" of one enumeration.
std::string Enumerate(LPINT protocols, void* buffer, DWORD length)
{
    SetLastError(0);
    INT result = Wsh().EnumProtocols(protocols, nullptr, buffer, &length);
    return std::to_string(result) + " " + std::to_string(length) + " " + std::to_string(GetLastError());
}

// The first count 32-bit values at data, which need not be aligned.
std::vector<DWORD> Values(const void* data, size_t count)
{
    std::vector<DWORD> values(count);
    memcpy(values.data(), data, count * sizeof(DWORD));
    return values;
}

}  // namespace

// Off-by-one in the size check, a short buffer written, a wrong stored size,
// a record written as if aligned. A list without 33000 (also empty, or with
// it after the terminator) gets nothing; one naming it acts as no list.
TEST(WshEnumProtocols, SizeProtocolAndLists)
{
    INT others[] = {6, 17, 0}, empty[] = {0}, hidden[] = {6, 0, 33000}, ours[] = {33000, 0},
        mixed[] = {6, 33000, 0};
    BYTE buffer[101];
    memset(buffer, Fill, sizeof(buffer));
    for (LPINT list : {LPINT(nullptr), ours})
        EXPECT_EQ("-1 44 122", Enumerate(list, buffer, 43));
    EXPECT_EQ("-1 44 122", Enumerate(nullptr, nullptr, 0)) << "size query";
    EXPECT_EQ("-1 44 10014", Enumerate(nullptr, nullptr, 44)) << "room but no buffer";
    for (LPINT list : {others, empty, hidden})
        EXPECT_EQ("0 0 0", Enumerate(list, buffer, sizeof(buffer))) << "list from " << list[0];
    EXPECT_TRUE(AllFill(buffer, sizeof(buffer))) << "written without a record";
    for (LPINT list : {LPINT(nullptr), ours, mixed}) {
        for (DWORD size : {44u, 100u}) {
            memset(buffer, Fill, sizeof(buffer));
            EXPECT_EQ("1 44 0", Enumerate(list, buffer + 1, size)) << "buffer of " << size;
            const std::vector<DWORD> record = {0x201, 157, 14, 7, 2, 33000, 0xFFFFFFFF, DWORD(buffer + 33)};
            EXPECT_EQ(record, Values(buffer + 1, 8)) << "the record, its name pointer 32 bytes in";
            EXPECT_EQ(0, memcmp(buffer + 33, L"Vemto", 12)) << "the name right behind the record";
            EXPECT_TRUE(buffer[0] == Fill && AllFill(buffer + 45, 56)) << "written outside the 44 bytes";
        }
    }
}

// The six rows in their order (the first is the canonical triple); a 79-byte
// buffer gets the size alone.
TEST(WshGetWinsockMapping, EightyBytesOrOnlyTheSize)
{
    DWORD buffer[21];
    memset(buffer, Fill, sizeof(buffer));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(reinterpret_cast<PWINSOCK_MAPPING>(buffer), 79));
    EXPECT_TRUE(AllFill(buffer, sizeof(buffer))) << "a short buffer was written";
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(reinterpret_cast<PWINSOCK_MAPPING>(buffer), sizeof(buffer)));
    EXPECT_EQ(std::vector<DWORD>(
                  {6, 3, 157, 2, 33000, 157, 2, 0, 157, 0, 33000, 0, 2, 33000, 0, 0, 33000, 157, 0, 0}),
              Values(buffer, 20));
    EXPECT_TRUE(AllFill(buffer + 20, 4)) << "written beyond 80 bytes";
}

// Every mapped triple is turned into the canonical one, in the caller's
// values and the context; the device name is the DLL's own constant. Only
// the close event frees the context (else it would be used after free).
TEST(WshOpenSocket, EveryMappedTripleOpensACanonicalSocket)
{
    for (const auto& t : Mapping) {
        SCOPED_TRACE(testing::Message() << t[0] << ", " << t[1] << ", " << t[2]);
        size_t before = BusyHeapBlocks();
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        ASSERT_EQ(0, s.result);
        for (DWORD event : {0x01u, 0x40u, 0x100u, 0x81u, 0xFFFFFFFFu})
            EXPECT_EQ(WSAEINVAL, Wsh().Notify(s.context, INVALID_SOCKET, nullptr, nullptr, event)) << event;
        EXPECT_EQ(before + 1, BusyHeapBlocks()) << "not one context block";
        EXPECT_EQ(Values(Canonical, 3), Values(&s.family, 3)) << "the caller's values";
        EXPECT_EQ(Values(Canonical, 3), Values(s.context, 3)) << "the context";
        EXPECT_TRUE(s.events == 0x80 && s.device.Length == 26 && s.device.MaximumLength == 26);
        MEMORY_BASIC_INFORMATION memory = {};
        VirtualQuery(s.device.Buffer, &memory, sizeof(memory));
        ASSERT_EQ(Wsh().module, memory.AllocationBase) << "the name is not the library's constant";
        EXPECT_EQ(0, memcmp(L"\\Device\\Vemto", s.device.Buffer, 26));
        EXPECT_EQ(0, CloseSocket(s.context));
        EXPECT_EQ(before, BusyHeapBlocks());
    }
}

// A triple one value off the table, or matching only in its low 16 bits or
// its magnitude, is refused before anything is written or allocated.
TEST(WshOpenSocket, UnmappedTriplesAreRefused)
{
    const INT triples[][3] = {
        {157, 1, 33000}, {0, 2, 0}, {158, 2, 33000}, {157 + 65536, 2, 0}, {0, 0, -33000}};
    size_t before = BusyHeapBlocks();
    for (const auto& t : triples) {
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        EXPECT_EQ(WSAEINVAL, s.result) << t[0] << ", " << t[1] << ", " << t[2];
        EXPECT_TRUE(s.family == t[0] && s.type == t[1] && s.protocol == t[2] && !s.device.Buffer &&
                    !s.context && !s.events)
            << "written on refusal";
    }
    EXPECT_EQ(before, BusyHeapBlocks());
}

// The context option: the query at every branch (level, other option, short
// buffer, size query, copy); the hand-over keeps an existing context and gives
// a null one (a handle inherited by another process) a new context holding
// the bytes, whose address replaces the value's first field and no more.
TEST(WshSocketInformation, ContextOption)
{
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    BYTE value[16];
    memset(value, Fill, sizeof(value));
    INT length = 11;
    EXPECT_EQ(WSAEINVAL, GetOption(s.context, 65535, SO_CONTEXT, value, &length));
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, 2, value, &length)) << "other option";
    EXPECT_EQ(WSAEFAULT, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length)) << "short buffer";
    EXPECT_TRUE(length == 11 && AllFill(value, sizeof(value))) << "written on refusal";
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, nullptr, &length));
    EXPECT_EQ(12, length) << "size query";
    length = sizeof(value);
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length));
    EXPECT_EQ(12, length) << "the length is the size written";
    EXPECT_TRUE(memcmp(Canonical, value, 12) == 0 && AllFill(value + 12, 4));

    const DWORD other[3] = {1, 2, 3};
    memcpy(value, other, 12);
    size_t before = BusyHeapBlocks();
    EXPECT_EQ(0, SetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, 12));
    EXPECT_EQ(before, BusyHeapBlocks()) << "allocated for a socket that has its context";
    EXPECT_TRUE(memcmp(other, value, 12) == 0 && memcmp(Canonical, s.context, 12) == 0)
        << "something changed";
    ASSERT_EQ(0, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 12));
    EXPECT_EQ(before + 1, BusyHeapBlocks());
    PVOID inherited;
    memcpy(&inherited, value, sizeof(inherited));
    ASSERT_NE(s.context, inherited);
    EXPECT_EQ(Values(other, 3), Values(inherited, 3)) << "not the handed-over bytes";
    EXPECT_TRUE(memcmp(other + 1, value + 4, 8) == 0 && AllFill(value + 12, 4))
        << "more than one field replaced";
    EXPECT_TRUE(CloseSocket(inherited) == 0 && CloseSocket(s.context) == 0);
}

// Missing pointers and out-of-range values get a defined answer, no crash,
// and allocate nothing; the family has no wildcard address.
TEST(WshBadInput, DefinedAnswers)
{
    const WshExports& w = Wsh();
    INT f = 157, t = 2, p = 33000, length = 12;
    UNICODE_STRING device;
    PVOID context = nullptr;
    DWORD events;
    BYTE value[12] = {};
    const struct {
        const char* what;
        std::function<INT()> call;
        INT expected;
    } rows[] = {
        {"enum: no length, -1 and last error",
         [&] { return w.EnumProtocols(nullptr, nullptr, value, nullptr) == -1 ? INT(GetLastError()) : 0; },
         WSAEFAULT},
        {"mapping: no buffer", [&] { return INT(w.GetWinsockMapping(nullptr, 80)); }, 80},
        {"open: no family", [&] { return w.OpenSocket(nullptr, &t, &p, &device, &context, &events); },
         WSAEFAULT},
        {"open: no device", [&] { return w.OpenSocket(&f, &t, &p, nullptr, &context, &events); }, WSAEFAULT},
        {"open: no context", [&] { return w.OpenSocket(&f, &t, &p, &device, nullptr, &events); }, WSAEFAULT},
        {"open: no events", [&] { return w.OpenSocket(&f, &t, &p, &device, &context, nullptr); }, WSAEFAULT},
        {"get: level -2", [&] { return GetOption(value, -2, SO_CONTEXT, value, &length); }, WSAEINVAL},
        {"get: no length", [&] { return GetOption(value, SOL_INTERNAL, SO_CONTEXT, value, nullptr); },
         WSAEFAULT},
        {"get: no context", [&] { return GetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, &length); },
         WSAEINVAL},
        {"get: length -1",
         [&] {
             length = -1;
             return GetOption(value, SOL_INTERNAL, 1, value, &length);
         },
         WSAEFAULT},
        {"set: level 65535", [&] { return SetOption(nullptr, 65535, SO_CONTEXT, value, 12); }, WSAEINVAL},
        {"set: other option", [&] { return SetOption(nullptr, SOL_INTERNAL, 2, value, 12); }, WSAEINVAL},
        {"set: length 11", [&] { return SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 11); },
         WSAEINVAL},
        {"set: length -12", [&] { return SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, -12); },
         WSAEINVAL},
        {"set: no value", [&] { return SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, nullptr, 12); },
         WSAEFAULT},
        {"wildcard: none", [&] { return w.GetWildcardSockaddr(value, PSOCKADDR(value), &length); },
         WSAEADDRNOTAVAIL},
    };
    size_t before = BusyHeapBlocks();
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.call()) << row.what;
    EXPECT_EQ(before, BusyHeapBlocks());
    EXPECT_TRUE(!context && std::all_of(value, value + 12, [](BYTE b) { return !b; }))
        << "written on refusal";
}
