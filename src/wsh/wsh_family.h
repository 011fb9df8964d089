// The data-link socket family that this helper serves: its numbers, the
// per-socket context the helper hands to the framework, and the layout of
// the family's socket address as far as the helper reads it. The device and
// protocol names are the stack's (stack/stack_names.h).
#pragma once
#include <windows.h>

#include <stddef.h>

#define WSH_ADDRESS_FAMILY 157
#define WSH_SOCKET_TYPE 2  // SOCK_DGRAM
#define WSH_PROTOCOL 33000
#define WSH_MIN_SOCKADDR 7   // smallest address: form 0
#define WSH_MAX_SOCKADDR 14  // largest address: form 1

// Lives from WSHOpenSocket (or WSHSetSocketInformation in a process that
// inherited the socket) to WSHNotify's close, on the process heap. Always
// holds the canonical triple. Its 12 bytes are also the value of the
// framework's internal context option.
struct WshSocketContext {
    DWORD AddressFamily;
    DWORD SocketType;
    DWORD Protocol;
};
static_assert(sizeof(WshSocketContext) == 12, "the context option carries exactly 12 bytes");
static_assert(offsetof(WshSocketContext, AddressFamily) == 0, "WshSocketContext.AddressFamily");
static_assert(offsetof(WshSocketContext, SocketType) == 4, "WshSocketContext.SocketType");
static_assert(offsetof(WshSocketContext, Protocol) == 8, "WshSocketContext.Protocol");

// Address forms of the family.
#define WSH_FORM_SHORT 0  // at least WSH_MIN_SOCKADDR bytes
#define WSH_FORM_LONG 1   // at least WSH_MAX_SOCKADDR bytes, with an octet count
#define WSH_MAX_OCTETS 7

// The family's socket address, byte by byte: the numbers are little-endian
// and the octet count is not aligned. Byte 4 and the octets belong to the
// transport driver; the helper does not read them.
struct WshSockaddr {
    BYTE Family[2];
    BYTE Form[2];
    BYTE Reserved;
    BYTE OctetCount[2];           // long form only
    BYTE Octets[WSH_MAX_OCTETS];  // long form only
};
static_assert(sizeof(WshSockaddr) == WSH_MAX_SOCKADDR, "the long form fills the largest address");
static_assert(offsetof(WshSockaddr, Form) == 2, "WshSockaddr.Form");
static_assert(offsetof(WshSockaddr, OctetCount) == 5, "WshSockaddr.OctetCount");
static_assert(offsetof(WshSockaddr, Octets) == WSH_MIN_SOCKADDR,
              "the short form ends where the octets begin");
