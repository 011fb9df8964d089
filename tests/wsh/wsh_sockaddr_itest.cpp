// Address classification: every check in its order, every length limit, the
// little-endian unaligned octet count, and memory that cannot be read or
// written.
#include <string.h>

#include <vector>

#include "wsh_exports.h"

namespace {

const SOCKADDR_ADDRESS_INFO Untouched = SOCKADDR_ADDRESS_INFO(0x5A5A5A5A);

struct Answer {
    INT result;
    SOCKADDR_INFO info;
};

Answer Classify(const BYTE* address, DWORD length)
{
    Answer a;
    a.info.AddressInfo = Untouched;
    a.info.EndpointInfo = SOCKADDR_ENDPOINT_INFO(0x5A5A5A5A);
    a.result = Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(const_cast<BYTE*>(address)), length, &a.info);
    return a;
}

// A 14-byte address: family and form little-endian, the octet count as two
// bytes at 5 and 6.
struct Address {
    BYTE bytes[16];
    Address(WORD family, WORD form, BYTE count5 = 0, BYTE count6 = 0)
    {
        memset(bytes, 0xEE, sizeof(bytes));
        bytes[0] = BYTE(family);
        bytes[1] = BYTE(family >> 8);
        bytes[2] = BYTE(form);
        bytes[3] = BYTE(form >> 8);
        bytes[5] = count5;
        bytes[6] = count6;
    }
};

struct Case {
    const char* what;
    Address address;
    DWORD length;
    INT result;
    SOCKADDR_ADDRESS_INFO addressInfo;  // when the result is 0
};

}  // namespace

TEST(WshGetSockaddrType, ClassificationTable)
{
    ASSERT_WSH_LOADED();
    const SOCKADDR_ADDRESS_INFO Normal = SockaddrAddressInfoNormal;
    const SOCKADDR_ADDRESS_INFO Broadcast = SockaddrAddressInfoBroadcast;
    const Case cases[] = {
        {"family 2", Address(2, 0), 14, WSAEAFNOSUPPORT, Normal},
        {"family 157 byte-swapped", Address(0x9D00, 0), 14, WSAEAFNOSUPPORT, Normal},
        {"family is checked before the length", Address(2, 0), 0, WSAEAFNOSUPPORT, Normal},
        {"short form, length 6", Address(157, 0), 6, WSAEFAULT, Normal},
        {"short form, length 7", Address(157, 0), 7, 0, Normal},
        {"short form, length 14", Address(157, 0), 14, 0, Normal},
        {"short form ignores the count", Address(157, 0, 0xFF, 0xFF), 7, 0, Normal},
        {"long form, length 13", Address(157, 1, 1, 0), 13, WSAEFAULT, Normal},
        {"long form, length 7", Address(157, 1, 1, 0), 7, WSAEFAULT, Normal},
        {"length is checked before the count", Address(157, 1, 8, 0), 13, WSAEFAULT, Normal},
        {"long form, 0 octets", Address(157, 1, 0, 0), 14, 0, Broadcast},
        {"long form, 1 octet", Address(157, 1, 1, 0), 14, 0, Normal},
        {"long form, 7 octets", Address(157, 1, 7, 0), 14, 0, Normal},
        {"long form, 7 octets, longer buffer", Address(157, 1, 7, 0), 16, 0, Normal},
        {"long form, 8 octets", Address(157, 1, 8, 0), 14, WSAEAFNOSUPPORT, Normal},
        {"count 0x0100 is 256", Address(157, 1, 0, 1), 14, WSAEAFNOSUPPORT, Normal},
        {"count 0x0700 is 1792", Address(157, 1, 0, 7), 14, WSAEAFNOSUPPORT, Normal},
        {"count 0xFFFF", Address(157, 1, 0xFF, 0xFF), 14, WSAEAFNOSUPPORT, Normal},
        {"form 2", Address(157, 2), 14, WSAEINVAL, Normal},
        {"form 0x0100 (1 byte-swapped)", Address(157, 0x100), 14, WSAEINVAL, Normal},
        {"form 0xFFFF", Address(157, 0xFFFF), 14, WSAEINVAL, Normal},
        {"form is checked before the length", Address(157, 2), 4, WSAEINVAL, Normal},
    };
    for (const Case& c : cases) {
        Answer a = Classify(c.address.bytes, c.length);
        EXPECT_EQ(c.result, a.result) << c.what;
        if (c.result == 0) {
            EXPECT_EQ(c.addressInfo, a.info.AddressInfo) << c.what;
            EXPECT_EQ(SockaddrEndpointInfoNormal, a.info.EndpointInfo) << c.what;
        } else {
            EXPECT_EQ(Untouched, a.info.AddressInfo) << c.what << ": written on failure";
        }
    }
}

TEST(WshGetSockaddrType, UnalignedAddress)
{
    ASSERT_WSH_LOADED();
    // The whole address at an odd address: the count sits at an even one.
    BYTE buffer[32];
    for (BYTE* start : {buffer + 1, buffer + 2, buffer + 3}) {
        memcpy(start, Address(157, 1, 7, 0).bytes, 14);
        EXPECT_EQ(0, Classify(start, 14).result);
        memcpy(start, Address(157, 1, 0, 1).bytes, 14);
        EXPECT_EQ(WSAEAFNOSUPPORT, Classify(start, 14).result);
        memcpy(start, Address(157, 1, 0, 0).bytes, 14);
        Answer a = Classify(start, 14);
        EXPECT_EQ(0, a.result);
        EXPECT_EQ(SockaddrAddressInfoBroadcast, a.info.AddressInfo);
    }
}

// ---------------------------------------------------------------------------
// Memory the call cannot touch ends it with WSAEINVAL, and nothing else.

namespace {

// Two pages: the first read-write, the second with the given protection.
class PagePair {
public:
    explicit PagePair(DWORD second) : base(nullptr), size(0)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size = info.dwPageSize;
        base = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        if (base && !VirtualProtect(base + size, size, second, &old)) {
            VirtualFree(base, 0, MEM_RELEASE);
            base = nullptr;
        }
    }
    ~PagePair()
    {
        if (base)
            VirtualFree(base, 0, MEM_RELEASE);
    }
    BYTE* First() const { return base; }
    BYTE* Second() const { return base + size; }
    // The last n bytes of the first page.
    BYTE* EndOfFirst(size_t n) const { return base + size - n; }

private:
    BYTE* base;
    DWORD size;
};

}  // namespace

TEST(WshGetSockaddrType, UnreadableAddress)
{
    ASSERT_WSH_LOADED();
    PagePair pages(PAGE_NOACCESS);
    ASSERT_NE(nullptr, pages.First());

    EXPECT_EQ(WSAEINVAL, Classify(pages.Second(), 14).result) << "an inaccessible page";
    EXPECT_EQ(WSAEINVAL, Classify(nullptr, 14).result) << "no address";

    // A long-form address cut off after its form: the count lies beyond the
    // readable memory, although the length claims 14 bytes.
    BYTE* cut = pages.EndOfFirst(4);
    memcpy(cut, Address(157, 1).bytes, 4);
    Answer a = Classify(cut, 14);
    EXPECT_EQ(WSAEINVAL, a.result);
    EXPECT_EQ(Untouched, a.info.AddressInfo);

    // The same bytes where the count ends at the page's end are fine.
    BYTE* whole = pages.EndOfFirst(7);
    memcpy(whole, Address(157, 1, 3, 0).bytes, 7);
    EXPECT_EQ(0, Classify(whole, 14).result) << "the octets themselves are never read";

    // A short-form address at the very end of the readable memory.
    BYTE* tail = pages.EndOfFirst(4);
    memcpy(tail, Address(157, 0).bytes, 4);
    EXPECT_EQ(0, Classify(tail, 7).result);
}

TEST(WshGetSockaddrType, UnwritableResult)
{
    ASSERT_WSH_LOADED();
    Address address(157, 1, 0, 0);
    PSOCKADDR sockaddr = reinterpret_cast<PSOCKADDR>(address.bytes);

    PagePair readOnly(PAGE_READONLY);
    ASSERT_NE(nullptr, readOnly.First());
    auto info = reinterpret_cast<PSOCKADDR_INFO>(readOnly.Second());
    EXPECT_EQ(WSAEINVAL, Wsh().GetSockaddrType(sockaddr, 14, info));
    EXPECT_EQ(0, info->AddressInfo) << "a read-only page was written";

    PagePair noAccess(PAGE_NOACCESS);
    ASSERT_NE(nullptr, noAccess.First());
    EXPECT_EQ(WSAEINVAL, Wsh().GetSockaddrType(sockaddr, 14, reinterpret_cast<PSOCKADDR_INFO>(noAccess.Second())));
    EXPECT_EQ(WSAEINVAL, Wsh().GetSockaddrType(sockaddr, 14, nullptr));

    // A result record straddling the end of the writable memory.
    auto straddling = reinterpret_cast<PSOCKADDR_INFO>(readOnly.EndOfFirst(4));
    EXPECT_EQ(WSAEINVAL, Wsh().GetSockaddrType(sockaddr, 14, straddling));

    // A failed check writes nothing, so it needs no writable result.
    Address other(2, 0);
    EXPECT_EQ(WSAEAFNOSUPPORT, Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(other.bytes), 14, info));
}

namespace {

// The head of the calling thread's exception frame chain.
void* ChainHead()
{
    void* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

struct FaultWork {
    BYTE* unreadable;
    PSOCKADDR_INFO unwritable;
    int wrong;
};

DWORD WINAPI ClassifyWithFaults(void* argument)
{
    FaultWork* work = static_cast<FaultWork*>(argument);
    Address good(157, 1, 0, 0);
    void* head = ChainHead();
    for (int i = 0; i < 1000; ++i) {
        SOCKADDR_INFO info;
        if (Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(work->unreadable), 14, &info) != WSAEINVAL)
            ++work->wrong;
        if (Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(good.bytes), 14, work->unwritable) != WSAEINVAL)
            ++work->wrong;
        info.AddressInfo = Untouched;
        if (Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(good.bytes), 14, &info) != 0 ||
            info.AddressInfo != SockaddrAddressInfoBroadcast)
            ++work->wrong;
        if (ChainHead() != head)
            ++work->wrong;
    }
    return 0;
}

}  // namespace

TEST(WshGetSockaddrType, FaultsOnManyThreadsLeaveEachThreadWorking)
{
    ASSERT_WSH_LOADED();
    PagePair noAccess(PAGE_NOACCESS);
    PagePair readOnly(PAGE_READONLY);
    ASSERT_NE(nullptr, noAccess.First());
    ASSERT_NE(nullptr, readOnly.First());

    void* head = ChainHead();
    std::vector<FaultWork> work(6, FaultWork{noAccess.Second(), reinterpret_cast<PSOCKADDR_INFO>(readOnly.Second()), 0});
    std::vector<HANDLE> threads;
    for (FaultWork& w : work)
        threads.push_back(CreateThread(nullptr, 0, &ClassifyWithFaults, &w, 0, nullptr));
    for (HANDLE t : threads)
        ASSERT_NE(nullptr, t);
    FaultWork mine = work[0];
    ClassifyWithFaults(&mine);  // this thread too, at the same time
    EXPECT_EQ(0, mine.wrong) << "main thread";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 60000));
    for (size_t i = 0; i < threads.size(); ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(0, work[i].wrong) << "thread " << i;
    }
    EXPECT_EQ(head, ChainHead());
    Address good(157, 0);
    EXPECT_EQ(0, Classify(good.bytes, 7).result) << "the call works again afterwards";
}
