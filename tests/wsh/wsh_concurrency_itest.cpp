// The framework calls the helper from any thread: many threads open, query,
// hand over and close sockets at once, and afterwards the process heap holds
// no context more than before.
#include <string.h>

#include <vector>

#include "wsh_exports.h"

namespace {

const int Threads = 8;
const int Rounds = 2000;
const int Window = 16;  // sockets each thread keeps open at a time

const INT Triples[6][3] = {{157, 2, 33000}, {157, 2, 0}, {157, 0, 33000}, {0, 2, 33000}, {0, 0, 33000}, {157, 0, 0}};
const DWORD CanonicalBytes[3] = {157, 2, 33000};

struct Worker {
    int wrong = 0;
    PVOID open[Window] = {};
};

// Queries the context option and hands it over as an inheriting process
// would; returns the new context, or null after counting a fault.
PVOID Inherit(Worker& w, PVOID context)
{
    BYTE value[12];
    INT length = 0;
    if (Wsh().GetSocketInformation(context, INVALID_SOCKET, nullptr, nullptr, SOL_INTERNAL, SO_CONTEXT, nullptr,
                                   &length) != 0 || length != 12)
        ++w.wrong;
    if (Wsh().GetSocketInformation(context, INVALID_SOCKET, nullptr, nullptr, SOL_INTERNAL, SO_CONTEXT,
                                   reinterpret_cast<PCHAR>(value), &length) != 0 ||
        memcmp(value, CanonicalBytes, 12) != 0)
        ++w.wrong;
    if (Wsh().SetSocketInformation(context, INVALID_SOCKET, nullptr, nullptr, SOL_INTERNAL, SO_CONTEXT,
                                   reinterpret_cast<PCHAR>(value), 12) != 0)
        ++w.wrong;
    if (Wsh().SetSocketInformation(nullptr, INVALID_SOCKET, nullptr, nullptr, SOL_INTERNAL, SO_CONTEXT,
                                   reinterpret_cast<PCHAR>(value), 12) != 0) {
        ++w.wrong;
        return nullptr;
    }
    PVOID inherited;
    memcpy(&inherited, value, sizeof(inherited));
    if (!inherited || memcmp(inherited, CanonicalBytes, 12) != 0)
        ++w.wrong;
    return inherited;
}

void Classify(Worker& w, int round)
{
    BYTE address[14] = {157, 0, 1, 0, 0, BYTE(round % 9), 0};
    SOCKADDR_INFO info;
    INT expected = round % 9 > 7 ? WSAEAFNOSUPPORT : 0;
    if (Wsh().GetSockaddrType(reinterpret_cast<PSOCKADDR>(address), 14, &info) != expected)
        ++w.wrong;
}

void OneRound(Worker& w, int round)
{
    int slot = round % Window;
    if (w.open[slot] && CloseSocket(w.open[slot]) != 0)
        ++w.wrong;
    w.open[slot] = nullptr;

    const INT* t = Triples[round % 6];
    OpenedSocket s = OpenSocket(t[0], t[1], t[2]);
    if (s.result != 0 || s.family != 157 || s.type != 2 || s.protocol != 33000 || !s.context) {
        ++w.wrong;
        return;
    }
    if (Wsh().Notify(s.context, INVALID_SOCKET, nullptr, nullptr, WSH_NOTIFY_BIND) != WSAEINVAL)
        ++w.wrong;
    PVOID inherited = Inherit(w, s.context);
    if (inherited && CloseSocket(inherited) != 0)
        ++w.wrong;
    Classify(w, round);
    w.open[slot] = s.context;
}

DWORD WINAPI Work(void* argument)
{
    Worker& w = *static_cast<Worker*>(argument);
    for (int round = 0; round < Rounds; ++round)
        OneRound(w, round);
    for (PVOID& context : w.open) {
        if (context && CloseSocket(context) != 0)
            ++w.wrong;
        context = nullptr;
    }
    return 0;
}

// Runs the work on all threads at once; false if a thread did not start or
// finish.
bool RunThreads(std::vector<Worker>& workers)
{
    std::vector<HANDLE> threads;
    bool started = true;
    for (Worker& w : workers) {
        HANDLE t = CreateThread(nullptr, 0, &Work, &w, 0, nullptr);
        if (t)
            threads.push_back(t);
        else
            started = false;
    }
    bool finished = WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 120000) == WAIT_OBJECT_0;
    for (HANDLE t : threads)
        CloseHandle(t);
    return started && finished;
}

}  // namespace

TEST(WshConcurrency, ManyThreadsOpenQueryAndCloseWithoutLeaks)
{
    ASSERT_WSH_LOADED();
    std::vector<Worker> warmUp(Threads);
    std::vector<Worker> workers(Threads);
    // A first run lets the system and the runtime set up whatever they keep
    // per thread and per process; the second run is the one measured.
    ASSERT_TRUE(RunThreads(warmUp));
    size_t before = BusyHeapBlocks();
    ASSERT_TRUE(RunThreads(workers));
    size_t after = BusyHeapBlocks();

    for (int i = 0; i < Threads; ++i) {
        EXPECT_EQ(0, warmUp[i].wrong) << "thread " << i << " of the first run";
        EXPECT_EQ(0, workers[i].wrong) << "thread " << i;
    }
    EXPECT_EQ(before, after) << "busy blocks on the process heap";
}

TEST(WshConcurrency, HeapCountSeesOpenContexts)
{
    // Without this the leak check above could pass by counting nothing.
    ASSERT_WSH_LOADED();
    std::vector<PVOID> contexts(Window * Threads);
    size_t before = BusyHeapBlocks();
    for (PVOID& c : contexts)
        c = OpenSocket().context;
    EXPECT_EQ(before + contexts.size(), BusyHeapBlocks());
    for (PVOID c : contexts)
        EXPECT_EQ(0, CloseSocket(c));
    EXPECT_EQ(before, BusyHeapBlocks());
}
