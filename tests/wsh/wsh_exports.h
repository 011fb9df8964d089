// Shared by the helper's integration tests: the eight helper calls found in
// tolmarin.dll by their undecorated names, and what the tests look at.
#pragma once
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "wsh/wsh_family.h"
#include "wsh/wsh_interface.h"

#define WSH_CALLS(X)                                                                                 \
    X(EnumProtocols)                                                                                 \
    X(GetSockaddrType) X(GetSocketInformation) X(GetWildcardSockaddr) X(GetWinsockMapping) X(Notify) \
        X(OpenSocket) X(SetSocketInformation)
#define WSH_FIND(name) \
    decltype(&WSH##name) name = (decltype(&WSH##name))(void*)GetProcAddress(module, "WSH" #name);
#define WSH_FOUND(name) &&name

struct WshExports {
    HMODULE module = LoadLibraryA("tolmarin.dll");
    WSH_CALLS(WSH_FIND)
    bool Complete() const { return module WSH_CALLS(WSH_FOUND); }
};

// Every test needs the library: without it the program stops at once.
inline const WshExports& Wsh()
{
    static const WshExports exports;
    if (!exports.Complete()) {
        fprintf(stderr, "tolmarin.dll or one of its helper calls is missing\n");
        ExitProcess(1);
    }
    return exports;
}

const DWORD Canonical[3] = {157, 2, 33000};
const INT Mapping[6][3] = {{157, 2, 33000}, {157, 2, 0},   {157, 0, 33000},
                           {0, 2, 33000},   {0, 0, 33000}, {157, 0, 0}};

// Busy blocks of the process heap, where the contexts live.
inline size_t BusyHeapBlocks()
{
    HANDLE heap = GetProcessHeap();
    size_t busy = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(heap);
    return busy;
}

struct OpenedSocket {
    INT result, family, type, protocol;  // the triple as the call left it
    UNICODE_STRING device = {};
    PVOID context = nullptr;
    DWORD events = 0;
};

inline OpenedSocket OpenSocket(INT family = 157, INT type = 2, INT protocol = 33000)
{
    OpenedSocket s = {-1, family, type, protocol};
    s.result = Wsh().OpenSocket(&s.family, &s.type, &s.protocol, &s.device, &s.context, &s.events);
    return s;
}

inline INT CloseSocket(PVOID context)
{
    return Wsh().Notify(context, INVALID_SOCKET, nullptr, nullptr, WSH_NOTIFY_CLOSE);
}

inline INT GetOption(PVOID context, INT level, INT option, void* value, INT* length)
{
    return Wsh().GetSocketInformation(context, 0, nullptr, nullptr, level, option, static_cast<PCHAR>(value),
                                      length);
}

inline INT SetOption(PVOID context, INT level, INT option, void* value, INT length)
{
    return Wsh().SetSocketInformation(context, 0, nullptr, nullptr, level, option, static_cast<PCHAR>(value),
                                      length);
}

// Two pages: the first read-write, the second with the given protection.
struct PagePair {
    BYTE* first = static_cast<BYTE*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    explicit PagePair(DWORD protection)
    {
        EXPECT_TRUE(first && VirtualProtect(first + 4096, 4096, protection, &old));
    }
    ~PagePair() { VirtualFree(first, 0, MEM_RELEASE); }
    BYTE* Second() const { return first + 4096; }
};

// The thread's exception chain, where the fault guard links its frame.
inline void* ChainHead()
{
    void* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
    return head;
}
