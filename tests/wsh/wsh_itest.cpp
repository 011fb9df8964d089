// The helper calls of the built DLL as the Windows Sockets framework makes them.
#include <gtest/gtest.h>

#include "support/loaded_dll.h"
#include "wsh/wsh_family.h"
#include "wsh/wsh_interface.h"

namespace {

const LoadedDll dll;  // without it the first call ends the program
#define WSH(name) dll.Get<decltype(&WSH##name)>("WSH" #name)
const BYTE Fill = 0xA5;
const DWORD Canonical[3] = {157, 2, 33000};
const INT Mapping[6][3] = {{157, 2, 33000}, {157, 2, 0},   {157, 0, 33000},
                           {0, 2, 33000},   {0, 0, 33000}, {157, 0, 0}};

// Bytes no longer holding Fill.
int Changed(const void* p, size_t n) { return int(n) - int(std::count((BYTE*)p, (BYTE*)p + n, Fill)); }
std::vector<DWORD> Values(const void* p, size_t n) { return {(const DWORD*)p, (const DWORD*)p + n}; }

// Busy blocks of the process heap holding the 12 bytes: contexts, not Wine's own blocks.
size_t Blocks(const void* bytes = Canonical)
{
    size_t count = 0;
    PROCESS_HEAP_ENTRY e = {};
    while (HeapWalk(GetProcessHeap(), &e))
        count += (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) && e.cbData >= 12 && !memcmp(e.lpData, bytes, 12);
    return count;
}

INT Close(PVOID context) { return WSH(Notify)(context, 0, nullptr, nullptr, WSH_NOTIFY_CLOSE); }
// The thread's exception chain, where the fault guard links its frame.
void* ChainHead()
{
    void* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}
// The process's last filter: a guard page's first touch is resumed.
LONG WINAPI ResumeGuardPageFaults(EXCEPTION_POINTERS* p)
{
    return p->ExceptionRecord->ExceptionCode == STATUS_GUARD_PAGE_VIOLATION ? EXCEPTION_CONTINUE_EXECUTION
                                                                            : EXCEPTION_CONTINUE_SEARCH;
}
// The second of two new pages, the first read-write.
BYTE* PageAfter(DWORD protection)
{
    BYTE* first = static_cast<BYTE*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    return VirtualProtect(first + 4096, 4096, protection, &old) ? first + 4096 : nullptr;
}

}  // namespace

// "result stored-length last-error" per call; the record at an odd address, its name 32 bytes in, nothing
// written outside its 44 bytes; a list without 33000 gets nothing.
TEST(Wsh, ProtocolRecordAndMapping)
{
    INT others[] = {6, 17, 0}, ours[] = {6, 33000, 0};
    BYTE buffer[101];
    memset(buffer, Fill, sizeof(buffer));
    const std::tuple<LPINT, BYTE*, DWORD, const char*> rows[] = {{nullptr, buffer + 1, 43, "-1 44 122"},
                                                                 {nullptr, nullptr, 44, "-1 44 10014"},
                                                                 {others, buffer + 1, 100, "0 0 0"},
                                                                 {ours, buffer + 1, 44, "1 44 0"}};
    for (auto [list, data, length, answer] : rows) {
        SetLastError(0);
        INT result = WSH(EnumProtocols)(list, nullptr, data, &length);
        EXPECT_EQ(answer, std::to_string(result) + " " + std::to_string(length) + " " +
                              std::to_string(GetLastError()));
    }
    EXPECT_EQ((std::vector<DWORD>{0x201, 157, 14, 7, 2, 33000, 0xFFFFFFFF, DWORD(buffer + 33)}),
              Values(buffer + 1, 8));
    EXPECT_EQ(std::wstring(L"Vemto"), (const wchar_t*)(buffer + 33));
    EXPECT_EQ(0, Changed(buffer, 1) + Changed(buffer + 45, 56));
    EXPECT_EQ(-1, WSH(EnumProtocols)(nullptr, nullptr, buffer, nullptr));
    // The mapping: a 79-byte buffer gets the size alone; 80 bytes get the counts and the rows.
    memset(buffer, Fill, sizeof(buffer));
    EXPECT_EQ(80u, WSH(GetWinsockMapping)(PWINSOCK_MAPPING(buffer), 79));
    EXPECT_EQ(0, Changed(buffer, sizeof(buffer)));
    EXPECT_EQ(80u, WSH(GetWinsockMapping)(PWINSOCK_MAPPING(buffer), 80));
    EXPECT_EQ(Values(Mapping, 18), Values(buffer + 8, 18));
}

// Every mapped triple opens as the canonical one with one context block that only the close event frees;
// the device name excludes its terminator. Unmapped triples and missing pointers are refused.
TEST(Wsh, OpenSocket)
{
    size_t before = Blocks();
    UNICODE_STRING device = {};
    PVOID context = nullptr;
    DWORD events = 0;
    for (const auto& t : Mapping) {
        INT triple[3] = {t[0], t[1], t[2]};
        ASSERT_EQ(0, WSH(OpenSocket)(&triple[0], &triple[1], &triple[2], &device, &context, &events));
        // The triple, events, device name length, an unknown event's answer, blocks, the close's answer.
        EXPECT_EQ((std::vector<DWORD>{157, 2, 33000, 0x80, 26, WSAEINVAL, DWORD(before + 1), 0}),
                  (std::vector<DWORD>{DWORD(triple[0]), DWORD(triple[1]), DWORD(triple[2]), events,
                                      device.Length, DWORD(WSH(Notify)(context, 0, nullptr, nullptr, 0x40)),
                                      DWORD(Blocks()), DWORD(Close(context))}));
    }
    EXPECT_EQ(before, Blocks());
    INT refused[3] = {158, 2, 33000}, ok[3] = {157, 2, 33000};
    EXPECT_EQ(WSAEINVAL, WSH(OpenSocket)(&refused[0], &refused[1], &refused[2], nullptr, nullptr, nullptr));
    EXPECT_EQ(WSAEFAULT, WSH(OpenSocket)(&ok[0], &ok[1], &ok[2], nullptr, nullptr, nullptr));

    // The context option: other levels and short buffers refused, size query; the hand-over keeps an existing
    // context and gives a null one (an inherited handle) a new one in the value's first field.
    INT length = 11;
    WSH(OpenSocket)(&ok[0], &ok[1], &ok[2], &device, &context, &events);
    BYTE value[16];
    auto get = [&](INT level, void* v) {
        return WSH(GetSocketInformation)(context, 0, nullptr, nullptr, level, SO_CONTEXT, PCHAR(v), &length);
    };
    EXPECT_EQ(
        (std::vector<INT>{WSAEINVAL, WSAEFAULT, 0, 12}),
        (std::vector<INT>{get(0, value), get(SOL_INTERNAL, value), get(SOL_INTERNAL, nullptr), length}));
    const DWORD other[3] = {1, 2, 3};
    memcpy(value, other, 12);
    size_t copies = Blocks(other);
    auto set = [&](PVOID c) {
        return WSH(SetSocketInformation)(c, 0, 0, 0, SOL_INTERNAL, SO_CONTEXT, PCHAR(value), 12);
    };
    EXPECT_EQ(0, set(context));
    EXPECT_EQ(copies, Blocks(other)) << "an existing context was replaced";
    ASSERT_EQ(0, set(nullptr));
    PVOID inherited = *reinterpret_cast<PVOID*>(value);
    EXPECT_EQ(Values(other, 3), Values(inherited, 3));
    EXPECT_EQ((std::vector<INT>{0, 0}), (std::vector<INT>{Close(inherited), Close(context)}));
}

// A guard page's first touch passes to whoever set the guard; unreadable or unwritable memory gives 10022,
// the exception chain kept. Rows: family, form, a byte not read, octet count (16-bit LE, odd address).
TEST(Wsh, GetSockaddrType)
{
    BYTE good[14] = {157, 0, 1, 0, 0, 3, 0};
    void* head = ChainHead();
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&ResumeGuardPageFaults);
    EXPECT_EQ(WSAEAFNOSUPPORT, WSH(GetSockaddrType)(PSOCKADDR(PageAfter(PAGE_READWRITE | PAGE_GUARD)), 14,
                                                    PSOCKADDR_INFO(good)));
    SetUnhandledExceptionFilter(previous);
    EXPECT_EQ(WSAEINVAL, WSH(GetSockaddrType)(PSOCKADDR(PageAfter(PAGE_NOACCESS)), 14, PSOCKADDR_INFO(good)));
    EXPECT_EQ(WSAEINVAL, WSH(GetSockaddrType)(PSOCKADDR(good), 14, PSOCKADDR_INFO(PageAfter(PAGE_READONLY))));
    EXPECT_EQ(head, ChainHead()) << "the guard frame stayed linked";
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head));  // a frame left linked would take later exceptions
    const std::tuple<std::vector<BYTE>, DWORD, INT, INT> rows[] = {
        {{157, 1, 0, 0}, 14, WSAEAFNOSUPPORT, 0},
        {{157, 0, 1, 0, 0xEE, 8, 0}, 13, WSAEFAULT, 0},
        {{157, 0, 1, 0, 0xEE, 0, 0}, 14, 0, 2},
        {{157, 0, 1, 0, 0xEE, 7, 0}, 14, 0, 0},
        {{157, 0, 1, 0, 0xEE, 0, 1}, 14, WSAEAFNOSUPPORT, 0},
        {{157, 0, 0, 1}, 14, WSAEINVAL, 0},
    };
    alignas(4) BYTE buffer[16] = {};
    for (const auto& [address, length, result, addressInfo] : rows) {
        memset(buffer, 0, sizeof(buffer)), memcpy(buffer + 1, address.data(), address.size());
        INT info[2] = {-1, -1};
        EXPECT_EQ(result, WSH(GetSockaddrType)(PSOCKADDR(buffer + 1), length, PSOCKADDR_INFO(info)));
        EXPECT_EQ(result ? -1 : addressInfo, info[0]);
    }
}
