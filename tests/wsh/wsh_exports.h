// The helper calls found in tolmarin.dll by their undecorated names, and what the tests look at.
#pragma once
#include <gtest/gtest.h>
#include <string.h>

#include "support/loaded_dll.h"
#include "wsh/wsh_family.h"
#include "wsh/wsh_interface.h"

// Loaded once for the program; without it the first call ends the program.
inline const LoadedDll wshDll;
#define WSH(name) wshDll.Get<decltype(&WSH##name)>("WSH" #name)

const DWORD Canonical[3] = {157, 2, 33000};
const INT Mapping[6][3] = {{157, 2, 33000}, {157, 2, 0},   {157, 0, 33000},
                           {0, 2, 33000},   {0, 0, 33000}, {157, 0, 0}};

// Busy blocks of the process heap holding the 12 bytes: contexts, not what Wine's own threads allocate.
inline size_t HeapBlocksHolding(const void* bytes = Canonical)
{
    HANDLE heap = GetProcessHeap();
    size_t count = 0;
    PROCESS_HEAP_ENTRY e = {};
    HeapLock(heap);
    while (HeapWalk(heap, &e))
        count += (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) && e.cbData >= 12 && !memcmp(e.lpData, bytes, 12);
    HeapUnlock(heap);
    return count;
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
    s.result = WSH(OpenSocket)(&s.family, &s.type, &s.protocol, &s.device, &s.context, &s.events);
    return s;
}

inline INT CloseSocket(PVOID context) { return WSH(Notify)(context, 0, nullptr, nullptr, WSH_NOTIFY_CLOSE); }

inline INT GetOption(PVOID context, INT level, INT option, void* value, INT* length)
{
    return WSH(GetSocketInformation)(context, 0, nullptr, nullptr, level, option, PCHAR(value), length);
}

inline INT SetOption(PVOID context, INT level, INT option, void* value, INT length)
{
    return WSH(SetSocketInformation)(context, 0, nullptr, nullptr, level, option, PCHAR(value), length);
}

inline INT Classify(const void* address, DWORD length, void* info)
{
    return WSH(GetSockaddrType)(PSOCKADDR(address), length, PSOCKADDR_INFO(info));
}

// The second of two new pages, the first read-write (kept to the process end).
inline BYTE* PageAfter(DWORD protection)
{
    BYTE* first = static_cast<BYTE*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    return first && VirtualProtect(first + 4096, 4096, protection, &old) ? first + 4096 : nullptr;
}
