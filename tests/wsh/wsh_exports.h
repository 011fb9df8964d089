// Shared by the helper's integration tests: the eight helper calls found in
// tolmarin.dll by their undecorated names, and a count of the process heap's
// busy blocks to see what the calls allocate and free.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "wsh/wsh_family.h"
#include "wsh/wsh_interface.h"

struct WshExports {
    HMODULE module = nullptr;
    decltype(&WSHEnumProtocols) EnumProtocols = nullptr;
    decltype(&WSHGetSockaddrType) GetSockaddrType = nullptr;
    decltype(&WSHGetSocketInformation) GetSocketInformation = nullptr;
    decltype(&WSHGetWildcardSockaddr) GetWildcardSockaddr = nullptr;
    decltype(&WSHGetWinsockMapping) GetWinsockMapping = nullptr;
    decltype(&WSHNotify) Notify = nullptr;
    decltype(&WSHOpenSocket) OpenSocket = nullptr;
    decltype(&WSHSetSocketInformation) SetSocketInformation = nullptr;

    bool Complete() const
    {
        return module && EnumProtocols && GetSockaddrType && GetSocketInformation && GetWildcardSockaddr &&
               GetWinsockMapping && Notify && OpenSocket && SetSocketInformation;
    }
};

template <typename Function>
void FindExport(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loads the library once per test program.
inline const WshExports& Wsh()
{
    static const WshExports exports = [] {
        WshExports e;
        e.module = LoadLibraryA("tolmarin.dll");
        if (!e.module)
            return e;
        FindExport(e.module, "WSHEnumProtocols", e.EnumProtocols);
        FindExport(e.module, "WSHGetSockaddrType", e.GetSockaddrType);
        FindExport(e.module, "WSHGetSocketInformation", e.GetSocketInformation);
        FindExport(e.module, "WSHGetWildcardSockaddr", e.GetWildcardSockaddr);
        FindExport(e.module, "WSHGetWinsockMapping", e.GetWinsockMapping);
        FindExport(e.module, "WSHNotify", e.Notify);
        FindExport(e.module, "WSHOpenSocket", e.OpenSocket);
        FindExport(e.module, "WSHSetSocketInformation", e.SetSocketInformation);
        return e;
    }();
    return exports;
}

// Busy blocks of the process heap, where the helper keeps its contexts.
inline size_t BusyHeapBlocks()
{
    HANDLE heap = GetProcessHeap();
    size_t busy = 0;
    if (!HeapLock(heap))
        return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    }
    HeapUnlock(heap);
    return busy;
}

// One socket opened with the canonical triple, as the framework does.
struct OpenedSocket {
    INT result = -1;
    INT family = WSH_ADDRESS_FAMILY, type = WSH_SOCKET_TYPE, protocol = WSH_PROTOCOL;
    UNICODE_STRING device = {};
    PVOID context = nullptr;
    DWORD events = 0;
};

inline OpenedSocket OpenSocket(INT family = WSH_ADDRESS_FAMILY, INT type = WSH_SOCKET_TYPE,
                               INT protocol = WSH_PROTOCOL)
{
    OpenedSocket s;
    s.family = family;
    s.type = type;
    s.protocol = protocol;
    s.result = Wsh().OpenSocket(&s.family, &s.type, &s.protocol, &s.device, &s.context, &s.events);
    return s;
}

inline INT CloseSocket(PVOID context)
{
    return Wsh().Notify(context, INVALID_SOCKET, nullptr, nullptr, WSH_NOTIFY_CLOSE);
}

#define ASSERT_WSH_LOADED() ASSERT_TRUE(Wsh().Complete()) << "tolmarin.dll or one of its helper calls is missing"
