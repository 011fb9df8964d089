// The framework calls the helper from any thread: many threads open, query,
// hand over, classify (also unreadable addresses) and close sockets at once;
// afterwards the process heap holds no context more than before.
#include <algorithm>
#include <vector>

#include "wsh_exports.h"

namespace {

const int Threads = 8, Rounds = 2000, Window = 16;  // sockets each thread keeps open
const BYTE* unreadable;

// A socket opened into slot, its context handed over as to an inheriting
// process and that copy closed, two addresses classified; false on a fault.
bool OneRound(int round, PVOID& slot)
{
    const INT* t = Mapping[round % 6];
    OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
    slot = s.context;
    PVOID value[3];  // the context option; after the hand-over its first field is the new context
    BYTE address[14] = {157, 0, 1, 0, 0, BYTE(round % 9)};
    INT length = 12;
    SOCKADDR_INFO info;
    if (s.result != 0 || s.protocol != 33000 ||
        GetOption(s.context, SOL_INTERNAL, SO_CONTEXT, value, &length) != 0 ||
        SetOption(nullptr, SOL_INTERNAL, SO_CONTEXT, value, 12) != 0)
        return false;
    return memcmp(value[0], Canonical, 12) == 0 && CloseSocket(value[0]) == 0 &&
           Wsh().GetSockaddrType(PSOCKADDR(address), 14, &info) == (round % 9 > 7 ? WSAEAFNOSUPPORT : 0) &&
           Wsh().GetSockaddrType(PSOCKADDR(unreadable), 14, &info) == WSAEINVAL;
}

DWORD WINAPI Work(void* wrong)
{
    int& faults = *static_cast<int*>(wrong);
    PVOID open[Window] = {};
    void* head = ChainHead();
    for (int round = 0; round < Rounds; ++round) {
        PVOID& slot = open[round % Window];
        faults += (slot && CloseSocket(slot) != 0) + !OneRound(round, slot);
    }
    for (PVOID context : open)
        faults += context && CloseSocket(context) != 0;
    faults += ChainHead() != head;
    return 0;
}

// Runs the work on all threads at once; false if one did not start or end.
bool RunThreads(std::vector<int>& wrong)
{
    std::vector<HANDLE> threads;
    for (int& w : wrong)
        threads.push_back(CreateThread(nullptr, 0, &Work, &w, 0, nullptr));
    bool ok = std::count(threads.begin(), threads.end(), nullptr) == 0 &&
              WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 120000) == WAIT_OBJECT_0;
    for (HANDLE t : threads)
        CloseHandle(t);
    return ok;
}

}  // namespace

TEST(WshConcurrency, ManyThreadsOpenQueryAndCloseWithoutLeaks)
{
    PagePair pages(PAGE_NOACCESS);
    unreadable = pages.Second();
    std::vector<int> warmUp(Threads), measured(Threads);
    // The first run lets the system set up what it keeps per thread.
    ASSERT_TRUE(RunThreads(warmUp));
    size_t before = BusyHeapBlocks();
    ASSERT_TRUE(RunThreads(measured));
    EXPECT_EQ(before, BusyHeapBlocks()) << "busy blocks on the process heap";
    for (int i = 0; i < Threads; ++i)
        EXPECT_EQ(0, warmUp[i] + measured[i]) << "thread " << i;
}
