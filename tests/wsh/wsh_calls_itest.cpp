// The helper calls as the Windows Sockets framework makes them, also from many threads at once.
#include <algorithm>
#include <string>
#include <vector>

#include "wsh_exports.h"

namespace {

const BYTE Fill = 0xA5;

// Bytes no longer holding Fill.
int Changed(const void* p, size_t n) { return int(n) - int(std::count((BYTE*)p, (BYTE*)p + n, Fill)); }

std::vector<DWORD> Values(const void* p, size_t n) { return {(const DWORD*)p, (const DWORD*)p + n}; }

// "result stored-length last-error" of one enumeration.
std::string Enumerate(LPINT protocols, void* buffer, DWORD length)
{
    SetLastError(0);
    INT result = WSH(EnumProtocols)(protocols, nullptr, buffer, &length);
    return std::to_string(result) + " " + std::to_string(length) + " " + std::to_string(GetLastError());
}

}  // namespace

// Off-by-one in the size check, a short buffer written, a wrong stored size, a record written as if
// aligned. A list without 33000 (also empty, or after the terminator) gets nothing.
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
    EXPECT_EQ(0, Changed(buffer, sizeof(buffer))) << "written without a record";
    for (LPINT list : {LPINT(nullptr), ours, mixed}) {
        for (DWORD size : {44u, 100u}) {
            memset(buffer, Fill, sizeof(buffer));
            EXPECT_EQ("1 44 0", Enumerate(list, buffer + 1, size)) << "buffer of " << size;
            const std::vector<DWORD> record = {0x201, 157, 14, 7, 2, 33000, 0xFFFFFFFF, DWORD(buffer + 33)};
            EXPECT_EQ(record, Values(buffer + 1, 8)) << "the record, its name pointer 32 bytes in";
            EXPECT_EQ(std::wstring(L"Vemto"), (const wchar_t*)(buffer + 33))
                << "the name right behind the record";
            EXPECT_EQ(0, Changed(buffer, 1) + Changed(buffer + 45, 56)) << "written outside the 44 bytes";
        }
    }
}

// The six rows in their order; a 79-byte buffer, or none, gets the size alone.
TEST(WshGetWinsockMapping, EightyBytesOrOnlyTheSize)
{
    DWORD buffer[21];
    memset(buffer, Fill, sizeof(buffer));
    EXPECT_EQ(80u, WSH(GetWinsockMapping)(nullptr, 80));
    EXPECT_EQ(80u, WSH(GetWinsockMapping)(PWINSOCK_MAPPING(buffer), 79));
    EXPECT_EQ(0, Changed(buffer, sizeof(buffer))) << "a short buffer was written";
    EXPECT_EQ(80u, WSH(GetWinsockMapping)(PWINSOCK_MAPPING(buffer), sizeof(buffer)));
    EXPECT_EQ(Values(Mapping, 18), Values(buffer + 2, 18)) << "the rows";
    EXPECT_EQ((std::vector<DWORD>{6, 3}), Values(buffer, 2)) << "the counts";
    EXPECT_EQ(0, Changed(buffer + 20, 4)) << "written beyond 80 bytes";
}

// Every mapped triple becomes the canonical one, in the caller's values and the context; the device
// name is the DLL's own constant; only the close event frees the context.
TEST(WshOpenSocket, EveryMappedTripleOpensACanonicalSocket)
{
    for (const auto& t : Mapping) {
        SCOPED_TRACE(testing::Message() << t[0] << ", " << t[1] << ", " << t[2]);
        size_t before = HeapBlocksHolding();
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        ASSERT_EQ(0, s.result);
        for (DWORD event : {0x01u, 0x40u, 0x100u, 0x81u, 0xFFFFFFFFu})
            EXPECT_EQ(WSAEINVAL, WSH(Notify)(s.context, 0, nullptr, nullptr, event)) << event;
        EXPECT_EQ(before + 1, HeapBlocksHolding()) << "not one context block";
        EXPECT_EQ(Values(Canonical, 3), Values(&s.family, 3)) << "the caller's values";
        EXPECT_EQ(Values(Canonical, 3), Values(s.context, 3)) << "the context";
        EXPECT_EQ((std::vector<DWORD>{0x80, 26, 26}),
                  (std::vector<DWORD>{s.events, s.device.Length, s.device.MaximumLength}));
        MEMORY_BASIC_INFORMATION memory = {};
        VirtualQuery(s.device.Buffer, &memory, sizeof(memory));
        ASSERT_EQ(wshDll.Module(), memory.AllocationBase) << "the name is not the library's constant";
        EXPECT_EQ(std::wstring(L"\\Device\\Vemto"), std::wstring(s.device.Buffer, 13));
        EXPECT_EQ(0, CloseSocket(s.context));
        EXPECT_EQ(before, HeapBlocksHolding());
    }
}

// Triples one value off, or matching only in the low 16 bits or magnitude: refused, nothing written.
TEST(WshOpenSocket, UnmappedTriplesAndMissingPointersAreRefused)
{
    const INT triples[][3] = {
        {157, 1, 33000}, {0, 2, 0}, {158, 2, 33000}, {157 + 65536, 2, 0}, {0, 0, -33000}};
    size_t before = HeapBlocksHolding();
    for (const auto& t : triples) {
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        EXPECT_EQ(WSAEINVAL, s.result) << t[0] << ", " << t[1] << ", " << t[2];
        EXPECT_EQ(Values(t, 3), Values(&s.family, 3)) << "written on refusal";
        EXPECT_EQ(std::vector<DWORD>(3),
                  (std::vector<DWORD>{DWORD(s.device.Buffer), DWORD(s.context), s.events}));
    }
    OpenedSocket s = {0, 157, 2, 33000};
    EXPECT_EQ(WSAEFAULT, WSH(OpenSocket)(nullptr, &s.type, &s.protocol, &s.device, &s.context, &s.events));
    EXPECT_EQ(WSAEFAULT, WSH(OpenSocket)(&s.family, &s.type, &s.protocol, nullptr, &s.context, &s.events));
    EXPECT_EQ(WSAEFAULT, WSH(OpenSocket)(&s.family, &s.type, &s.protocol, &s.device, nullptr, &s.events));
    EXPECT_EQ(WSAEFAULT, WSH(OpenSocket)(&s.family, &s.type, &s.protocol, &s.device, &s.context, nullptr));
    EXPECT_EQ(before, HeapBlocksHolding());
}

// The context option's query at every branch; the hand-over keeps an existing context and gives a
// null one (an inherited handle) a new context, whose address replaces the value's first field only.
TEST(WshSocketInformation, ContextOption)
{
    OpenedSocket s = OpenSocket();
    BYTE value[16];
    memset(value, Fill, sizeof(value));
    INT length = 11;
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, 2, value, &length)) << "other option";
    EXPECT_EQ(WSAEFAULT, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length)) << "short buffer";
    EXPECT_EQ(11, length) << "written on refusal";
    EXPECT_EQ(0, Changed(value, sizeof(value))) << "written on refusal";
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, nullptr, &length));
    EXPECT_EQ(12, length) << "size query";
    length = sizeof(value);
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length));
    EXPECT_EQ(12, length);
    EXPECT_EQ(Values(Canonical, 3), Values(value, 3));
    EXPECT_EQ(0, Changed(value + 12, 4));

    const DWORD other[3] = {1, 2, 3};
    memcpy(value, other, 12);
    size_t before = HeapBlocksHolding(other);
    EXPECT_EQ(0, SetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, 12));
    EXPECT_EQ(before, HeapBlocksHolding(other)) << "an existing context was replaced";
    EXPECT_EQ(Values(other, 3), Values(value, 3)) << "the value was changed";
    EXPECT_EQ(Values(Canonical, 3), Values(s.context, 3)) << "the context was changed";
    ASSERT_EQ(0, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 12));
    PVOID inherited = *reinterpret_cast<PVOID*>(value);
    EXPECT_EQ(Values(other, 3), Values(inherited, 3)) << "not the handed-over bytes";
    EXPECT_EQ(Values(other + 1, 2), Values(value + 4, 2)) << "more than one field replaced";
    EXPECT_EQ(0, Changed(value + 12, 4)) << "written beyond the value";
    EXPECT_EQ((std::vector<INT>{0, 0}), (std::vector<INT>{CloseSocket(inherited), CloseSocket(s.context)}));
    EXPECT_EQ(before, HeapBlocksHolding(other));
}

// Missing pointers, out-of-range (also negative) values, the missing wildcard address: defined answers.
TEST(WshBadInput, DefinedAnswers)
{
    BYTE value[12];
    memset(value, Fill, sizeof(value));
    INT length = 12, minus = -1;
    size_t before = HeapBlocksHolding(value);
    EXPECT_EQ(-1, WSH(EnumProtocols)(nullptr, nullptr, value, nullptr));
    EXPECT_EQ(DWORD(WSAEFAULT), GetLastError());
    EXPECT_EQ(WSAEINVAL, GetOption(value, -2, SO_CONTEXT, value, &length));
    EXPECT_EQ(WSAEFAULT, GetOption(value, SOL_INTERNAL, SO_CONTEXT, value, nullptr));
    EXPECT_EQ(WSAEINVAL, GetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, &length));
    EXPECT_EQ(WSAEFAULT, GetOption(value, SOL_INTERNAL, SO_CONTEXT, value, &minus));
    for (INT bad : {11, -12})
        EXPECT_EQ(WSAEINVAL, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, bad)) << bad;
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, 65535, SO_CONTEXT, value, 12));
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, SOL_INTERNAL, 2, value, 12));
    EXPECT_EQ(WSAEFAULT, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, nullptr, 12));
    EXPECT_EQ(WSAEADDRNOTAVAIL, WSH(GetWildcardSockaddr)(value, PSOCKADDR(value), &length));
    EXPECT_EQ(before, HeapBlocksHolding(value)) << "allocated";
    EXPECT_EQ(0, Changed(value, 12)) << "written";
}

namespace {

const BYTE* unreadable = PageAfter(PAGE_NOACCESS);
int wrongAnswers[8];

// Opens, queries, hands over, closes, classifies (also an unreadable address); counts wrong answers.
DWORD WINAPI Work(void* wrong)
{
    for (int round = 0; round < 2000; ++round) {
        const INT* t = Mapping[round % 6];
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        PVOID value[3];  // after the hand-over its first field is the new context
        INT length = 12;
        SOCKADDR_INFO info;
        *static_cast<int*>(wrong) +=
            !(s.result == 0 && s.protocol == 33000 &&
              GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length) == 0 &&
              SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 12) == 0 &&
              !memcmp(value[0], Canonical, 12) && CloseSocket(value[0]) == 0 && CloseSocket(s.context) == 0 &&
              Classify(unreadable, 14, &info) == WSAEINVAL);
    }
    return 0;
}

}  // namespace

// No shared state, a fault guard of each thread's own, no context left behind.
TEST(WshConcurrency, ManyThreadsWithoutLeaks)
{
    size_t before = HeapBlocksHolding();
    std::vector<HANDLE> threads;
    for (int& wrong : wrongAnswers)
        threads.push_back(CreateThread(nullptr, 0, &Work, &wrong, 0, nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(8, threads.data(), TRUE, 120000));
    for (HANDLE t : threads)
        CloseHandle(t);
    EXPECT_EQ(before, HeapBlocksHolding()) << "contexts left on the process heap";
    EXPECT_EQ(std::vector<int>(8), std::vector<int>(wrongAnswers, wrongAnswers + 8)) << "per thread";
}
