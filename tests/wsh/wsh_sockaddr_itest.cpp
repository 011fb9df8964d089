// Address classification: every check in its order, every length limit, the
// little-endian unaligned octet count, memory that cannot be read or written.
#include "wsh_exports.h"

namespace {

// A 14-byte address: family, form and octet count little-endian.
struct Address {
    BYTE bytes[14];
    Address(WORD family, WORD form, WORD count = 0)
        : bytes{BYTE(family), BYTE(family >> 8), BYTE(form),      BYTE(form >> 8),
                0xEE,         BYTE(count),       BYTE(count >> 8)}
    {
    }
};

INT Classify(const void* address, DWORD length, void* info)
{
    return Wsh().GetSockaddrType(PSOCKADDR(address), length, PSOCKADDR_INFO(info));
}

}  // namespace

TEST(WshGetSockaddrType, ClassificationTable)
{
    const INT Untouched = 0x5A5A5A5A, Broadcast = SockaddrAddressInfoBroadcast;
    const struct {
        const char* what;
        Address address;
        DWORD length;
        INT result, addressInfo;
    } rows[] = {
        {"family 2", {2, 0}, 14, WSAEAFNOSUPPORT, 0},
        {"family 157 byte-swapped", {0x9D00, 0}, 14, WSAEAFNOSUPPORT, 0},
        {"family is checked before the length", {2, 0}, 0, WSAEAFNOSUPPORT, 0},
        {"form 0, length 6", {157, 0}, 6, WSAEFAULT, 0},
        {"form 0, length 7", {157, 0}, 7, 0, 0},
        {"form 0 ignores the count", {157, 0, 0xFFFF}, 7, 0, 0},
        {"form 1, length 13", {157, 1, 1}, 13, WSAEFAULT, 0},
        {"length is checked before the count", {157, 1, 8}, 13, WSAEFAULT, 0},
        {"form 1, 0 octets", {157, 1, 0}, 14, 0, Broadcast},
        {"form 1, 1 octet", {157, 1, 1}, 14, 0, 0},
        {"form 1, 7 octets", {157, 1, 7}, 14, 0, 0},
        {"form 1, 8 octets", {157, 1, 8}, 14, WSAEAFNOSUPPORT, 0},
        {"count 0x0100 is 256", {157, 1, 0x100}, 14, WSAEAFNOSUPPORT, 0},
        {"count 0xFFFF is not -1", {157, 1, 0xFFFF}, 14, WSAEAFNOSUPPORT, 0},
        {"form 2", {157, 2}, 14, WSAEINVAL, 0},
        {"form 0x0100 (1 byte-swapped)", {157, 0x100}, 14, WSAEINVAL, 0},
        {"form is checked before the length", {157, 2}, 4, WSAEINVAL, 0},
    };
    alignas(4) BYTE buffer[16];
    for (const auto& row : rows) {
        memcpy(buffer + 1, row.address.bytes, 14);  // the count at an odd address
        INT info[2] = {Untouched, Untouched};
        EXPECT_EQ(row.result, Classify(buffer + 1, row.length, info)) << row.what;
        EXPECT_EQ(row.result ? Untouched : row.addressInfo, info[0]) << row.what;
        EXPECT_EQ(row.result ? Untouched : 0, info[1]) << row.what;
    }
}

// Unreadable addresses and unwritable results end the call with 10022 and
// leave the thread's exception chain as it was; only bytes 0-6 are read.
TEST(WshGetSockaddrType, InaccessibleMemory)
{
    PagePair unreadable(PAGE_NOACCESS), cut(PAGE_NOACCESS), readOnly(PAGE_READONLY);
    memcpy(unreadable.Second() - 7, Address(157, 1, 3).bytes, 7);
    memcpy(cut.Second() - 4, Address(157, 1).bytes, 4);
    Address good(157, 1);
    SOCKADDR_INFO info;
    const struct {
        const char* what;
        const void *address, *info;
        INT result;
    } rows[] = {
        {"unreadable address", unreadable.Second(), &info, WSAEINVAL},
        {"no address", nullptr, &info, WSAEINVAL},
        {"the count in an unreadable page", cut.Second() - 4, &info, WSAEINVAL},
        {"the octets in an unreadable page", unreadable.Second() - 7, &info, 0},
        {"read-only result", good.bytes, readOnly.Second(), WSAEINVAL},
        {"unreadable result", good.bytes, unreadable.Second(), WSAEINVAL},
        {"result across the page end", good.bytes, readOnly.Second() - 4, WSAEINVAL},
        {"no result", good.bytes, nullptr, WSAEINVAL},
    };
    void* head = ChainHead();
    for (const auto& row : rows)
        EXPECT_EQ(row.result, Classify(row.address, 14, const_cast<void*>(row.info))) << row.what;
    EXPECT_EQ(head, ChainHead()) << "the guard frame stayed linked";
    EXPECT_EQ(0, readOnly.Second()[0]) << "a read-only page was written";
}

namespace {

LONG guardPageFaults = 0;

LONG WINAPI ResumeGuardPageFaults(EXCEPTION_POINTERS* pointers)
{
    if (pointers->ExceptionRecord->ExceptionCode != STATUS_GUARD_PAGE_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    ++guardPageFaults;
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

// Faults other than access violations pass the guard. A guard page's first
// touch belongs to whoever set the guard (a stack, a growing buffer).
TEST(WshGetSockaddrType, GuardPageFaultsPassOn)
{
    PagePair pages(PAGE_READWRITE | PAGE_GUARD);  // zeroed: family 0
    SOCKADDR_INFO info;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&ResumeGuardPageFaults);
    EXPECT_EQ(WSAEAFNOSUPPORT, Classify(pages.Second(), 14, &info)) << "the guard took the fault";
    SetUnhandledExceptionFilter(previous);
    EXPECT_EQ(1, guardPageFaults);
}
