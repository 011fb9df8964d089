// Address classification: every check in its order, every limit, memory that cannot be read or written.
#include "wsh_exports.h"

// Bytes 0-6: family, form, a byte not read, octet count (16-bit little-endian, the count at an odd address).
TEST(WshGetSockaddrType, ClassificationTable)
{
    const INT Untouched = 0x5A5A5A5A, Broadcast = SockaddrAddressInfoBroadcast;
    const struct {
        const char* what;
        BYTE address[7];
        DWORD length;
        INT result, addressInfo;
    } rows[] = {
        {"family 0x019D", {157, 1, 0, 0}, 14, WSAEAFNOSUPPORT, 0},
        {"family 2 is checked before the length", {2, 0, 0, 0}, 0, WSAEAFNOSUPPORT, 0},
        {"form 0, length 6", {157, 0, 0, 0}, 6, WSAEFAULT, 0},
        {"form 0, length 7, the count ignored", {157, 0, 0, 0, 0xEE, 0xFF, 0xFF}, 7, 0, 0},
        {"form 1, length 13 is checked before the count", {157, 0, 1, 0, 0xEE, 8, 0}, 13, WSAEFAULT, 0},
        {"form 1, 0 octets", {157, 0, 1, 0, 0xEE, 0, 0}, 14, 0, Broadcast},
        {"form 1, 7 octets", {157, 0, 1, 0, 0xEE, 7, 0}, 14, 0, 0},
        {"form 1, 8 octets", {157, 0, 1, 0, 0xEE, 8, 0}, 14, WSAEAFNOSUPPORT, 0},
        {"count 0x0100 is 256", {157, 0, 1, 0, 0xEE, 0, 1}, 14, WSAEAFNOSUPPORT, 0},
        {"count 0xFFFF is not -1", {157, 0, 1, 0, 0xEE, 0xFF, 0xFF}, 14, WSAEAFNOSUPPORT, 0},
        {"form 0x0100", {157, 0, 0, 1}, 14, WSAEINVAL, 0},
        {"form 2 is checked before the length", {157, 0, 2, 0}, 4, WSAEINVAL, 0},
    };
    alignas(4) BYTE buffer[16] = {};
    for (const auto& row : rows) {
        memcpy(buffer + 1, row.address, 7);
        INT info[2] = {Untouched, Untouched};
        EXPECT_EQ(row.result, Classify(buffer + 1, row.length, info)) << row.what;
        EXPECT_EQ(row.result ? Untouched : row.addressInfo, info[0]) << row.what;
        EXPECT_EQ(row.result ? Untouched : 0, info[1]) << row.what;
    }
}

// The thread's exception chain, where the fault guard links its frame.
static void* ChainHead()
{
    void* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// Unreadable addresses and unwritable results end the call with 10022 and
// leave the thread's exception chain as it was; only bytes 0-6 are read.
TEST(WshGetSockaddrType, InaccessibleMemory)
{
    BYTE *unreadable = PageAfter(PAGE_NOACCESS), *cut = PageAfter(PAGE_NOACCESS);
    BYTE* readOnly = PageAfter(PAGE_READONLY);
    const BYTE good[14] = {157, 0, 1, 0, 0, 3, 0};
    memcpy(unreadable - 7, good, 7);
    memcpy(cut - 4, good, 4);
    SOCKADDR_INFO info;
    const struct {
        const char* what;
        const void *address, *info;
        INT result;
    } rows[] = {
        {"unreadable address", unreadable, &info, WSAEINVAL},
        {"no address", nullptr, &info, WSAEINVAL},
        {"the count in an unreadable page", cut - 4, &info, WSAEINVAL},
        {"the octets in an unreadable page", unreadable - 7, &info, 0},
        {"read-only result", good, readOnly, WSAEINVAL},
        {"result across the page end", good, readOnly - 4, WSAEINVAL},
        {"no result", good, nullptr, WSAEINVAL},
    };
    void* head = ChainHead();
    for (const auto& row : rows)
        EXPECT_EQ(row.result, Classify(row.address, 14, const_cast<void*>(row.info))) << row.what;
    EXPECT_EQ(head, ChainHead()) << "the guard frame stayed linked";
    EXPECT_EQ(0, readOnly[0]) << "a read-only page was written";
}

// Faults other than access violations pass the guard: a guard page's first touch belongs to whoever set it.
static LONG WINAPI ResumeGuardPageFaults(EXCEPTION_POINTERS* p)
{
    return p->ExceptionRecord->ExceptionCode == STATUS_GUARD_PAGE_VIOLATION ? EXCEPTION_CONTINUE_EXECUTION
                                                                            : EXCEPTION_CONTINUE_SEARCH;
}

TEST(WshGetSockaddrType, GuardPageFaultsPassOn)
{
    SOCKADDR_INFO info;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&ResumeGuardPageFaults);
    EXPECT_EQ(WSAEAFNOSUPPORT, Classify(PageAfter(PAGE_READWRITE | PAGE_GUARD), 14, &info))
        << "the guard took it";
    SetUnhandledExceptionFilter(previous);
}
