// The fault guard: access violations inside the guarded call end it and
// nothing else; every other exception passes on to the frames outside; the
// thread's exception chain is the same afterwards; guards nest and work on
// many threads at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "wsh/fault_guard.h"

namespace {

// The head of the calling thread's exception frame chain.
void* ChainHead()
{
    void* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}

// Pages with a given protection, released at the end of the test.
class Pages {
public:
    explicit Pages(DWORD protection, SIZE_T size = 4096)
        : base(static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
        DWORD old;
        if (base)
            VirtualProtect(base, size, protection, &old);
    }
    ~Pages() { VirtualFree(base, 0, MEM_RELEASE); }
    BYTE* Get() const { return base; }

private:
    BYTE* base;
};

struct Access {
    volatile BYTE* address;
    BYTE value;
    int steps;
};

void ReadByte(void* argument)
{
    Access* a = static_cast<Access*>(argument);
    a->value = *a->address;
    ++a->steps;
}

void WriteByte(void* argument)
{
    Access* a = static_cast<Access*>(argument);
    *a->address = a->value;
    ++a->steps;
}

}  // namespace

TEST(FaultGuard, CompletedAccessReportsTrue)
{
    BYTE byte = 0x5A;
    Access a = {&byte, 0, 0};
    void* head = ChainHead();
    EXPECT_TRUE(RunGuarded(&ReadByte, &a));
    EXPECT_EQ(0x5A, a.value);
    EXPECT_EQ(1, a.steps);
    EXPECT_EQ(head, ChainHead());
}

TEST(FaultGuard, UnreadableMemoryReportsFalse)
{
    Pages pages(PAGE_NOACCESS);
    ASSERT_NE(nullptr, pages.Get());
    void* head = ChainHead();
    for (volatile BYTE* address : {static_cast<volatile BYTE*>(pages.Get()), static_cast<volatile BYTE*>(nullptr)}) {
        Access a = {address, 0, 0};
        EXPECT_FALSE(RunGuarded(&ReadByte, &a));
        EXPECT_EQ(0, a.steps) << "the access went on after the fault";
        EXPECT_EQ(head, ChainHead()) << "the guard frame stayed linked";
    }
}

TEST(FaultGuard, UnwritableMemoryReportsFalseAndStaysUnchanged)
{
    Pages pages(PAGE_READWRITE);
    ASSERT_NE(nullptr, pages.Get());
    pages.Get()[0] = 0x11;
    DWORD old;
    ASSERT_TRUE(VirtualProtect(pages.Get(), 4096, PAGE_READONLY, &old));
    Access a = {pages.Get(), 0x22, 0};
    EXPECT_FALSE(RunGuarded(&WriteByte, &a));
    EXPECT_EQ(0x11, pages.Get()[0]);
    // The same memory made writable again is written normally.
    ASSERT_TRUE(VirtualProtect(pages.Get(), 4096, PAGE_READWRITE, &old));
    EXPECT_TRUE(RunGuarded(&WriteByte, &a));
    EXPECT_EQ(0x22, pages.Get()[0]);
}

namespace {

struct Nested {
    BYTE* unreadable;
    BYTE* readable;
    bool innerResult;
    int steps;
    bool faultAfterInner;
};

void NestedAccess(void* argument)
{
    Nested* n = static_cast<Nested*>(argument);
    Access inner = {n->unreadable, 0, 0};
    n->innerResult = RunGuarded(&ReadByte, &inner);
    ++n->steps;
    volatile BYTE* after = n->faultAfterInner ? n->unreadable : n->readable;
    (void)*after;
    ++n->steps;
}

}  // namespace

TEST(FaultGuard, GuardsNest)
{
    Pages pages(PAGE_NOACCESS);
    BYTE byte = 1;
    void* head = ChainHead();

    Nested n = {pages.Get(), &byte, true, 0, false};
    EXPECT_TRUE(RunGuarded(&NestedAccess, &n)) << "the inner fault reached the outer guard";
    EXPECT_FALSE(n.innerResult);
    EXPECT_EQ(2, n.steps);

    // A fault after the inner guard has ended is the outer guard's.
    n = {pages.Get(), &byte, true, 0, true};
    EXPECT_FALSE(RunGuarded(&NestedAccess, &n));
    EXPECT_FALSE(n.innerResult);
    EXPECT_EQ(1, n.steps);
    EXPECT_EQ(head, ChainHead());
}

namespace {

const DWORD TestExceptionCode = 0xE0534854;
LONG seenExceptions = 0;
DWORD lastSeenCode = 0;

// Stands for whatever frame lies outside the guard: resumes the exceptions
// that the test raises on purpose.
LONG WINAPI ResumeTestExceptions(EXCEPTION_POINTERS* pointers)
{
    DWORD code = pointers->ExceptionRecord->ExceptionCode;
    if (code != TestExceptionCode && code != STATUS_GUARD_PAGE_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    ++seenExceptions;
    lastSeenCode = code;
    return EXCEPTION_CONTINUE_EXECUTION;
}

void RaiseTestException(void* argument)
{
    RaiseException(TestExceptionCode, 0, 0, nullptr);
    ++*static_cast<int*>(argument);
}

class OuterFilter {
public:
    OuterFilter() : previous(SetUnhandledExceptionFilter(&ResumeTestExceptions)) { seenExceptions = 0; }
    ~OuterFilter() { SetUnhandledExceptionFilter(previous); }

private:
    LPTOP_LEVEL_EXCEPTION_FILTER previous;
};

}  // namespace

TEST(FaultGuard, OtherExceptionsPassOn)
{
    OuterFilter filter;
    int steps = 0;
    void* head = ChainHead();
    EXPECT_TRUE(RunGuarded(&RaiseTestException, &steps)) << "the guard took an exception it must pass on";
    EXPECT_EQ(1, seenExceptions);
    EXPECT_EQ(TestExceptionCode, lastSeenCode);
    EXPECT_EQ(1, steps);
    EXPECT_EQ(head, ChainHead());
}

TEST(FaultGuard, GuardPageFaultsPassOn)
{
    // A guard page's first touch is no access violation: it belongs to
    // whoever set the guard (a stack, a growing buffer) and must reach them.
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    Pages pages(PAGE_READWRITE | PAGE_GUARD, info.dwPageSize);
    ASSERT_NE(nullptr, pages.Get());
    OuterFilter filter;
    Access a = {pages.Get(), 0xFF, 0};
    EXPECT_TRUE(RunGuarded(&ReadByte, &a));
    EXPECT_EQ(1, seenExceptions);
    EXPECT_EQ(DWORD(STATUS_GUARD_PAGE_VIOLATION), lastSeenCode);
    EXPECT_EQ(0, a.value);
}

namespace {

struct ThreadWork {
    BYTE* unreadable;
    int wrong;
};

DWORD WINAPI FaultRepeatedly(void* argument)
{
    ThreadWork* work = static_cast<ThreadWork*>(argument);
    BYTE byte = 7;
    void* head = ChainHead();
    for (int i = 0; i < 2000; ++i) {
        Access bad = {work->unreadable + (i % 4096), 0, 0};
        Access good = {&byte, 0, 0};
        if (RunGuarded(&ReadByte, &bad) || bad.steps != 0)
            ++work->wrong;
        if (!RunGuarded(&ReadByte, &good) || good.value != 7)
            ++work->wrong;
        if (ChainHead() != head)
            ++work->wrong;
    }
    return 0;
}

}  // namespace

TEST(FaultGuard, ManyThreadsAtOnce)
{
    Pages pages(PAGE_NOACCESS);
    std::vector<ThreadWork> work(6, ThreadWork{pages.Get(), 0});
    std::vector<HANDLE> threads;
    for (ThreadWork& w : work)
        threads.push_back(CreateThread(nullptr, 0, &FaultRepeatedly, &w, 0, nullptr));
    for (HANDLE t : threads)
        ASSERT_NE(nullptr, t);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 60000));
    for (size_t i = 0; i < threads.size(); ++i) {
        CloseHandle(threads[i]);
        EXPECT_EQ(0, work[i].wrong) << "thread " << i;
    }
}
