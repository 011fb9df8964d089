// The helper calls as the Windows Sockets framework sees them: loaded from
// tolmarin.dll by name and called with the framework's arguments.
#include <string.h>
#include <wchar.h>

#include <set>
#include <string>
#include <vector>

#include "wsh_exports.h"

namespace {

const BYTE Fill = 0xA5;

bool AllBytesAre(const void* data, size_t size, BYTE value)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != value)
            return false;
    }
    return true;
}

// The names of the module's exports, read from its export directory.
std::set<std::string> ExportNames(HMODULE module)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.insert(reinterpret_cast<const char*>(base + names[i]));
    return result;
}

bool InsideImage(HMODULE module, const void* p)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

TEST(WshExports, ExactlyTheEightHelperCallsUndecorated)
{
    ASSERT_WSH_LOADED();
    std::set<std::string> helpers;
    for (const std::string& name : ExportNames(Wsh().module)) {
        if (name.compare(0, 3, "WSH") == 0)
            helpers.insert(name);
        EXPECT_EQ(std::string::npos, name.find('@')) << name;
    }
    std::set<std::string> expected = {"WSHEnumProtocols", "WSHGetSockaddrType", "WSHGetSocketInformation",
                                      "WSHGetWildcardSockaddr", "WSHGetWinsockMapping", "WSHNotify",
                                      "WSHOpenSocket", "WSHSetSocketInformation"};
    EXPECT_EQ(expected, helpers);
}

// ---------------------------------------------------------------------------
// WSHEnumProtocols

namespace {

struct Enumeration {
    INT result;
    DWORD length;
    DWORD error;
};

Enumeration Enumerate(LPINT protocols, void* buffer, DWORD length)
{
    SetLastError(0);
    Enumeration e;
    e.length = length;
    e.result = Wsh().EnumProtocols(protocols, nullptr, buffer, &e.length);
    e.error = GetLastError();
    return e;
}

void ExpectProtocolRecord(const BYTE* buffer)
{
    PROTOCOL_INFOW info;
    memcpy(&info, buffer, sizeof(info));
    EXPECT_EQ(0x201u, info.dwServiceFlags);
    EXPECT_EQ(157, info.iAddressFamily);
    EXPECT_EQ(14, info.iMaxSockAddr);
    EXPECT_EQ(7, info.iMinSockAddr);
    EXPECT_EQ(2, info.iSocketType);
    EXPECT_EQ(33000, info.iProtocol);
    EXPECT_EQ(0xFFFFFFFFu, info.dwMessageSize);
    EXPECT_EQ(reinterpret_cast<const void*>(buffer + 32), info.lpProtocol) << "the name follows the record";
    EXPECT_EQ(0, memcmp(buffer + 32, L"Vemto", 12)) << "name and terminator";
}

}  // namespace

TEST(WshEnumProtocols, SizeProtocol)
{
    ASSERT_WSH_LOADED();
    BYTE buffer[64];
    memset(buffer, Fill, sizeof(buffer));

    Enumeration e = Enumerate(nullptr, buffer, 43);
    EXPECT_EQ(-1, e.result);
    EXPECT_EQ(44u, e.length);
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), e.error);
    EXPECT_TRUE(AllBytesAre(buffer, sizeof(buffer), Fill)) << "a short buffer was written";

    // Length 0 with no buffer asks for the size.
    e = Enumerate(nullptr, nullptr, 0);
    EXPECT_EQ(-1, e.result);
    EXPECT_EQ(44u, e.length);
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), e.error);

    e = Enumerate(nullptr, buffer, 44);
    EXPECT_EQ(1, e.result);
    EXPECT_EQ(44u, e.length);
    ExpectProtocolRecord(buffer);
    EXPECT_TRUE(AllBytesAre(buffer + 44, sizeof(buffer) - 44, Fill)) << "written beyond 44 bytes";
}

TEST(WshEnumProtocols, LargerAndUnalignedBuffers)
{
    ASSERT_WSH_LOADED();
    BYTE buffer[101];
    memset(buffer, Fill, sizeof(buffer));
    Enumeration e = Enumerate(nullptr, buffer + 1, 100);
    EXPECT_EQ(1, e.result);
    EXPECT_EQ(44u, e.length) << "the stored length is the size used";
    ExpectProtocolRecord(buffer + 1);
    EXPECT_EQ(Fill, buffer[0]);
    EXPECT_TRUE(AllBytesAre(buffer + 45, sizeof(buffer) - 45, Fill));
}

TEST(WshEnumProtocols, ProtocolLists)
{
    ASSERT_WSH_LOADED();
    BYTE buffer[64];

    INT others[] = {6, 17, 0};
    memset(buffer, Fill, sizeof(buffer));
    Enumeration e = Enumerate(others, buffer, sizeof(buffer));
    EXPECT_EQ(0, e.result);
    EXPECT_EQ(0u, e.length);
    EXPECT_TRUE(AllBytesAre(buffer, sizeof(buffer), Fill));

    INT empty[] = {0};
    e = Enumerate(empty, buffer, sizeof(buffer));
    EXPECT_EQ(0, e.result);
    EXPECT_EQ(0u, e.length);

    INT ours[] = {33000, 0};
    e = Enumerate(ours, buffer, 43);
    EXPECT_EQ(-1, e.result) << "{33000} behaves as no list";
    EXPECT_EQ(44u, e.length);
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), e.error);
    e = Enumerate(ours, buffer, 44);
    EXPECT_EQ(1, e.result);
    ExpectProtocolRecord(buffer);

    INT mixed[] = {6, 17, 33000, 0};
    memset(buffer, Fill, sizeof(buffer));
    e = Enumerate(mixed, buffer, sizeof(buffer));
    EXPECT_EQ(1, e.result);
    ExpectProtocolRecord(buffer);

    // 33000 after the terminator is not in the list.
    INT hidden[] = {6, 0, 33000};
    e = Enumerate(hidden, buffer, sizeof(buffer));
    EXPECT_EQ(0, e.result);
    EXPECT_EQ(0u, e.length);
}

TEST(WshEnumProtocols, MissingPointersAreRefused)
{
    ASSERT_WSH_LOADED();
    SetLastError(0);
    EXPECT_EQ(-1, Wsh().EnumProtocols(nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(DWORD(WSAEFAULT), GetLastError());

    // A length that would fit but no buffer to fill.
    Enumeration e = Enumerate(nullptr, nullptr, 44);
    EXPECT_EQ(-1, e.result);
    EXPECT_EQ(44u, e.length);
    EXPECT_EQ(DWORD(WSAEFAULT), e.error);
}

// ---------------------------------------------------------------------------
// WSHGetWinsockMapping

TEST(WshGetWinsockMapping, EightyBytesOfSixRows)
{
    ASSERT_WSH_LOADED();
    DWORD buffer[25];
    memset(buffer, Fill, sizeof(buffer));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(reinterpret_cast<PWINSOCK_MAPPING>(buffer), sizeof(buffer)));
    const DWORD expected[20] = {6,   3,     157, 2, 33000, 157, 2, 0,     157, 0,
                                33000, 0,   2,   33000, 0, 0,   33000, 157, 0, 0};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(expected[i], buffer[i]) << "value " << i;
    EXPECT_TRUE(AllBytesAre(buffer + 20, sizeof(buffer) - 80, Fill)) << "written beyond 80 bytes";
}

TEST(WshGetWinsockMapping, ShortBufferGetsOnlyTheSize)
{
    ASSERT_WSH_LOADED();
    BYTE buffer[80];
    memset(buffer, Fill, sizeof(buffer));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(reinterpret_cast<PWINSOCK_MAPPING>(buffer), 79));
    EXPECT_TRUE(AllBytesAre(buffer, sizeof(buffer), Fill));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(reinterpret_cast<PWINSOCK_MAPPING>(buffer), 0));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(nullptr, 0));
    EXPECT_EQ(80u, Wsh().GetWinsockMapping(nullptr, 80));
    EXPECT_TRUE(AllBytesAre(buffer, sizeof(buffer), Fill));
}

// ---------------------------------------------------------------------------
// WSHOpenSocket and WSHNotify

TEST(WshOpenSocket, EveryMappedTripleBecomesCanonical)
{
    ASSERT_WSH_LOADED();
    const INT triples[6][3] = {{157, 2, 33000}, {157, 2, 0}, {157, 0, 33000},
                               {0, 2, 33000},   {0, 0, 33000}, {157, 0, 0}};
    for (const auto& t : triples) {
        SCOPED_TRACE(testing::Message() << "(" << t[0] << ", " << t[1] << ", " << t[2] << ")");
        OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
        ASSERT_EQ(0, s.result);
        EXPECT_EQ(157, s.family);
        EXPECT_EQ(2, s.type);
        EXPECT_EQ(33000, s.protocol);
        EXPECT_EQ(0x80u, s.events) << "the close event only";
        ASSERT_NE(nullptr, s.context);
        const DWORD canonical[3] = {157, 2, 33000};
        EXPECT_EQ(0, memcmp(canonical, s.context, 12)) << "the context holds the canonical triple";
        EXPECT_EQ(0, CloseSocket(s.context));
    }
}

TEST(WshOpenSocket, UnmappedTriplesAreRefused)
{
    ASSERT_WSH_LOADED();
    const INT triples[][3] = {{157, 1, 33000}, {0, 2, 0},  {0, 0, 0},     {2, 2, 17},    {157, 2, 17},
                              {157, 3, 33000}, {158, 2, 33000}, {-157, 2, 33000}, {157, 2, -33000}};
    for (const auto& t : triples) {
        SCOPED_TRACE(testing::Message() << "(" << t[0] << ", " << t[1] << ", " << t[2] << ")");
        INT family = t[0], type = t[1], protocol = t[2];
        UNICODE_STRING device = {7, 7, nullptr};
        PVOID context = &device;
        DWORD events = 0x1234;
        EXPECT_EQ(WSAEINVAL, Wsh().OpenSocket(&family, &type, &protocol, &device, &context, &events));
        EXPECT_EQ(t[0], family);
        EXPECT_EQ(t[1], type);
        EXPECT_EQ(t[2], protocol);
        EXPECT_EQ(7, device.Length);
        EXPECT_EQ(nullptr, device.Buffer);
        EXPECT_EQ(static_cast<PVOID>(&device), context);
        EXPECT_EQ(0x1234u, events);
    }
}

TEST(WshOpenSocket, DeviceNameIsTheLibrarysConstant)
{
    ASSERT_WSH_LOADED();
    OpenedSocket first = OpenSocket();
    OpenedSocket second = OpenSocket(0, 0, 33000);
    ASSERT_EQ(0, first.result);
    ASSERT_EQ(0, second.result);
    EXPECT_EQ(26, first.device.Length);
    EXPECT_EQ(26, first.device.MaximumLength);
    ASSERT_NE(nullptr, first.device.Buffer);
    EXPECT_EQ(0, memcmp(L"\\Device\\Vemto", first.device.Buffer, 26));
    EXPECT_EQ(first.device.Buffer, second.device.Buffer) << "a copy was made";
    EXPECT_TRUE(InsideImage(Wsh().module, first.device.Buffer)) << "the name is not the library's own";
    EXPECT_NE(first.context, second.context);
    EXPECT_EQ(0, CloseSocket(first.context));
    EXPECT_EQ(0, CloseSocket(second.context));
}

TEST(WshOpenSocket, MissingPointersAreRefusedWithoutAllocating)
{
    ASSERT_WSH_LOADED();
    INT family = 157, type = 2, protocol = 33000;
    UNICODE_STRING device = {};
    PVOID context = nullptr;
    DWORD events = 0;
    size_t before = BusyHeapBlocks();
    EXPECT_EQ(WSAEFAULT, Wsh().OpenSocket(nullptr, &type, &protocol, &device, &context, &events));
    EXPECT_EQ(WSAEFAULT, Wsh().OpenSocket(&family, &type, nullptr, &device, &context, &events));
    EXPECT_EQ(WSAEFAULT, Wsh().OpenSocket(&family, &type, &protocol, nullptr, &context, &events));
    EXPECT_EQ(WSAEFAULT, Wsh().OpenSocket(&family, &type, &protocol, &device, nullptr, &events));
    EXPECT_EQ(WSAEFAULT, Wsh().OpenSocket(&family, &type, &protocol, &device, &context, nullptr));
    EXPECT_EQ(before, BusyHeapBlocks());
    EXPECT_EQ(nullptr, context);
}

TEST(WshNotify, OnlyCloseFreesTheContext)
{
    ASSERT_WSH_LOADED();
    size_t before = BusyHeapBlocks();
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    EXPECT_EQ(before + 1, BusyHeapBlocks()) << "one context block";

    const DWORD others[] = {0, WSH_NOTIFY_BIND, WSH_NOTIFY_LISTEN, WSH_NOTIFY_CONNECT, WSH_NOTIFY_ACCEPT,
                            WSH_NOTIFY_SHUTDOWN_RECEIVE, WSH_NOTIFY_SHUTDOWN_SEND, WSH_NOTIFY_SHUTDOWN_ALL,
                            WSH_NOTIFY_CONNECT_ERROR, WSH_NOTIFY_CLOSE | WSH_NOTIFY_BIND, 0xFFFFFFFF};
    for (DWORD event : others)
        EXPECT_EQ(WSAEINVAL, Wsh().Notify(s.context, INVALID_SOCKET, nullptr, nullptr, event)) << event;
    EXPECT_EQ(before + 1, BusyHeapBlocks()) << "a context was freed on another event";
    const DWORD canonical[3] = {157, 2, 33000};
    EXPECT_EQ(0, memcmp(canonical, s.context, 12));

    EXPECT_EQ(0, CloseSocket(s.context));
    EXPECT_EQ(before, BusyHeapBlocks());
    EXPECT_EQ(0, CloseSocket(nullptr)) << "closing without a context";
}

// ---------------------------------------------------------------------------
// The internal context option

namespace {

INT GetOption(PVOID context, INT level, INT option, void* value, INT* length)
{
    return Wsh().GetSocketInformation(context, INVALID_SOCKET, nullptr, nullptr, level, option,
                                      static_cast<PCHAR>(value), length);
}

INT SetOption(PVOID context, INT level, INT option, void* value, INT length)
{
    return Wsh().SetSocketInformation(context, INVALID_SOCKET, nullptr, nullptr, level, option,
                                      static_cast<PCHAR>(value), length);
}

const DWORD CanonicalBytes[3] = {157, 2, 33000};

}  // namespace

TEST(WshGetSocketInformation, EveryBranch)
{
    ASSERT_WSH_LOADED();
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    BYTE value[40];
    INT length = sizeof(value);

    memset(value, Fill, sizeof(value));
    EXPECT_EQ(WSAEINVAL, GetOption(s.context, 65535, SO_CONTEXT, value, &length));
    EXPECT_EQ(WSAEINVAL, GetOption(s.context, SOL_SOCKET, SO_CONTEXT, value, &length));
    EXPECT_EQ(WSAEINVAL, GetOption(s.context, -2, SO_CONTEXT, value, &length)) << "sign-extended 0xFFFE";
    EXPECT_EQ(INT(sizeof(value)), length);

    length = 99;
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, 2, value, &length)) << "other internal options";
    EXPECT_EQ(99, length) << "the length was changed";
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, 0, value, &length));
    EXPECT_EQ(99, length);
    EXPECT_TRUE(AllBytesAre(value, sizeof(value), Fill));

    length = 0;
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, nullptr, &length)) << "size query";
    EXPECT_EQ(12, length);

    for (INT shortLength : {11, 0, -1}) {
        length = shortLength;
        EXPECT_EQ(WSAEFAULT, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length)) << shortLength;
        EXPECT_EQ(shortLength, length);
    }
    EXPECT_TRUE(AllBytesAre(value, sizeof(value), Fill)) << "a short buffer was written";

    length = 12;
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length));
    EXPECT_EQ(12, length);
    EXPECT_EQ(0, memcmp(CanonicalBytes, value, 12));

    memset(value, Fill, sizeof(value));
    length = sizeof(value);
    EXPECT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length));
    EXPECT_EQ(12, length) << "the length is the size written";
    EXPECT_EQ(0, memcmp(CanonicalBytes, value, 12));
    EXPECT_TRUE(AllBytesAre(value + 12, sizeof(value) - 12, Fill));

    EXPECT_EQ(0, CloseSocket(s.context));
}

TEST(WshGetSocketInformation, MissingPointersAreRefused)
{
    ASSERT_WSH_LOADED();
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    BYTE value[12];
    memset(value, Fill, sizeof(value));
    EXPECT_EQ(WSAEFAULT, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, nullptr));
    INT length = 12;
    EXPECT_EQ(WSAEINVAL, GetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, &length)) << "no context to copy";
    EXPECT_EQ(12, length);
    EXPECT_TRUE(AllBytesAre(value, sizeof(value), Fill));
    EXPECT_EQ(0, CloseSocket(s.context));
}

TEST(WshSetSocketInformation, RefusedArguments)
{
    ASSERT_WSH_LOADED();
    BYTE value[16];
    memcpy(value, CanonicalBytes, 12);
    size_t before = BusyHeapBlocks();
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, 65535, SO_CONTEXT, value, 12));
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, SOL_INTERNAL, 2, value, 12)) << "unlike the query: refused";
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 11));
    EXPECT_EQ(WSAEINVAL, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, -12));
    EXPECT_EQ(WSAEFAULT, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, nullptr, 12));
    EXPECT_EQ(before, BusyHeapBlocks());
    EXPECT_EQ(0, memcmp(CanonicalBytes, value, 12));
}

TEST(WshSetSocketInformation, ExistingContextIsKept)
{
    ASSERT_WSH_LOADED();
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    BYTE value[12];
    const DWORD other[3] = {1, 2, 3};
    memcpy(value, other, 12);
    size_t before = BusyHeapBlocks();
    EXPECT_EQ(0, SetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, 12));
    EXPECT_EQ(before, BusyHeapBlocks()) << "allocated for a socket that has its context";
    EXPECT_EQ(0, memcmp(other, value, 12)) << "the option value was changed";
    EXPECT_EQ(0, memcmp(CanonicalBytes, s.context, 12)) << "the context was changed";
    EXPECT_EQ(0, CloseSocket(s.context));
}

TEST(WshSetSocketInformation, InheritedSocketGetsANewContext)
{
    ASSERT_WSH_LOADED();
    // The bytes given out by the process that opened the socket...
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    BYTE value[16];
    memset(value, Fill, sizeof(value));
    INT length = sizeof(value);
    ASSERT_EQ(0, GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length));
    ASSERT_EQ(12, length);

    // ...handed over in the process that inherited the handle.
    size_t before = BusyHeapBlocks();
    ASSERT_EQ(0, SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, length));
    EXPECT_EQ(before + 1, BusyHeapBlocks());
    PVOID inherited;
    memcpy(&inherited, value, sizeof(inherited));
    ASSERT_NE(nullptr, inherited);
    EXPECT_NE(s.context, inherited);
    EXPECT_EQ(0, memcmp(CanonicalBytes, inherited, 12)) << "the new context holds the handed-over bytes";
    EXPECT_EQ(0, memcmp(CanonicalBytes + 1, value + 4, 8)) << "only the first pointer-sized field is replaced";
    EXPECT_TRUE(AllBytesAre(value + 12, 4, Fill));

    // The new context is a socket context like any other.
    BYTE again[12];
    length = sizeof(again);
    EXPECT_EQ(0, GetOption(inherited, SOL_INTERNAL, SO_CONTEXT, again, &length));
    EXPECT_EQ(0, memcmp(CanonicalBytes, again, 12));
    EXPECT_EQ(0, CloseSocket(inherited));
    EXPECT_EQ(before, BusyHeapBlocks());
    EXPECT_EQ(0, CloseSocket(s.context));
}

TEST(WshGetWildcardSockaddr, FamilyHasNone)
{
    ASSERT_WSH_LOADED();
    BYTE address[16];
    memset(address, Fill, sizeof(address));
    INT length = sizeof(address);
    OpenedSocket s = OpenSocket();
    ASSERT_EQ(0, s.result);
    EXPECT_EQ(WSAEADDRNOTAVAIL, Wsh().GetWildcardSockaddr(s.context, reinterpret_cast<PSOCKADDR>(address), &length));
    EXPECT_EQ(INT(sizeof(address)), length);
    EXPECT_TRUE(AllBytesAre(address, sizeof(address), Fill));
    EXPECT_EQ(WSAEADDRNOTAVAIL, Wsh().GetWildcardSockaddr(nullptr, nullptr, nullptr));
    EXPECT_EQ(0, CloseSocket(s.context));
}
