// The Windows Sockets helper interface, as published for helper DLLs: the
// structures and constants that the framework and a helper exchange, and the
// eight calls this library implements. The mingw headers have no wsahelp.h,
// so the declarations live here; each layout is checked against the
// published one below.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <winternl.h>
#include <nspapi.h>

#include <stddef.h>

// How an address is to be used, as the helper classifies it.
typedef enum _SOCKADDR_ADDRESS_INFO {
    SockaddrAddressInfoNormal = 0,
    SockaddrAddressInfoWildcard = 1,
    SockaddrAddressInfoBroadcast = 2,
    SockaddrAddressInfoLoopback = 3
} SOCKADDR_ADDRESS_INFO;

typedef enum _SOCKADDR_ENDPOINT_INFO {
    SockaddrEndpointInfoNormal = 0,
    SockaddrEndpointInfoWildcard = 1,
    SockaddrEndpointInfoReserved = 2
} SOCKADDR_ENDPOINT_INFO;

typedef struct _SOCKADDR_INFO {
    SOCKADDR_ADDRESS_INFO AddressInfo;
    SOCKADDR_ENDPOINT_INFO EndpointInfo;
} SOCKADDR_INFO, *PSOCKADDR_INFO;

// One accepted (address family, socket type, protocol) triple.
typedef struct _WINSOCK_MAPPING_ROW {
    DWORD AddressFamily;
    DWORD SocketType;
    DWORD Protocol;
} WINSOCK_MAPPING_ROW;

// The framework's view of the triples a helper accepts: a header followed by
// Rows rows of Columns (always 3) values. Declared with one row; the real
// record is as long as its rows.
typedef struct _WINSOCK_MAPPING {
    DWORD Rows;
    DWORD Columns;
    WINSOCK_MAPPING_ROW Mapping[1];
} WINSOCK_MAPPING, *PWINSOCK_MAPPING;

// Socket events a helper may ask to be told about (WSHOpenSocket) and that
// WSHNotify reports.
#define WSH_NOTIFY_BIND 0x01
#define WSH_NOTIFY_LISTEN 0x02
#define WSH_NOTIFY_CONNECT 0x04
#define WSH_NOTIFY_ACCEPT 0x08
#define WSH_NOTIFY_SHUTDOWN_RECEIVE 0x10
#define WSH_NOTIFY_SHUTDOWN_SEND 0x20
#define WSH_NOTIFY_SHUTDOWN_ALL 0x40
#define WSH_NOTIFY_CLOSE 0x80
#define WSH_NOTIFY_CONNECT_ERROR 0x100

// The framework's private option level and its one option: the helper's
// per-socket context, moved between processes when a socket handle is
// inherited or duplicated.
#define SOL_INTERNAL 0xFFFE
#define SO_CONTEXT 1

// The published layouts, on 32-bit Windows.
static_assert(sizeof(SOCKADDR_INFO) == 8, "SOCKADDR_INFO is two 32-bit values");
static_assert(offsetof(SOCKADDR_INFO, AddressInfo) == 0, "SOCKADDR_INFO.AddressInfo");
static_assert(offsetof(SOCKADDR_INFO, EndpointInfo) == 4, "SOCKADDR_INFO.EndpointInfo");
static_assert(sizeof(WINSOCK_MAPPING_ROW) == 12, "a mapping row is three 32-bit values");
static_assert(offsetof(WINSOCK_MAPPING, Rows) == 0, "WINSOCK_MAPPING.Rows");
static_assert(offsetof(WINSOCK_MAPPING, Columns) == 4, "WINSOCK_MAPPING.Columns");
static_assert(offsetof(WINSOCK_MAPPING, Mapping) == 8, "WINSOCK_MAPPING.Mapping");
static_assert(sizeof(PROTOCOL_INFOW) == 32, "PROTOCOL_INFOW is eight 32-bit fields");
static_assert(offsetof(PROTOCOL_INFOW, dwServiceFlags) == 0, "PROTOCOL_INFOW.dwServiceFlags");
static_assert(offsetof(PROTOCOL_INFOW, iAddressFamily) == 4, "PROTOCOL_INFOW.iAddressFamily");
static_assert(offsetof(PROTOCOL_INFOW, iMaxSockAddr) == 8, "PROTOCOL_INFOW.iMaxSockAddr");
static_assert(offsetof(PROTOCOL_INFOW, iMinSockAddr) == 12, "PROTOCOL_INFOW.iMinSockAddr");
static_assert(offsetof(PROTOCOL_INFOW, iSocketType) == 16, "PROTOCOL_INFOW.iSocketType");
static_assert(offsetof(PROTOCOL_INFOW, iProtocol) == 20, "PROTOCOL_INFOW.iProtocol");
static_assert(offsetof(PROTOCOL_INFOW, dwMessageSize) == 24, "PROTOCOL_INFOW.dwMessageSize");
static_assert(offsetof(PROTOCOL_INFOW, lpProtocol) == 28, "PROTOCOL_INFOW.lpProtocol");
static_assert(sizeof(UNICODE_STRING) == 8, "UNICODE_STRING is two counts and a pointer");
static_assert(offsetof(UNICODE_STRING, Length) == 0, "UNICODE_STRING.Length");
static_assert(offsetof(UNICODE_STRING, MaximumLength) == 2, "UNICODE_STRING.MaximumLength");
static_assert(offsetof(UNICODE_STRING, Buffer) == 4, "UNICODE_STRING.Buffer");

// The eight helper calls, exported undecorated. Each returns a Windows
// Sockets error code (0 for success) except WSHEnumProtocols (records
// written, or -1) and WSHGetWinsockMapping (the mapping's byte size).
// WSHOpenSocket's context argument is the address of the framework's
// context pointer.
extern "C" {
INT WINAPI WSHEnumProtocols(LPINT lpiProtocols, LPWSTR lpTransportKeyName, LPVOID lpProtocolBuffer,
                            LPDWORD lpdwBufferLength);
INT WINAPI WSHGetSockaddrType(PSOCKADDR Sockaddr, DWORD SockaddrLength, PSOCKADDR_INFO SockaddrInfo);
INT WINAPI WSHGetSocketInformation(PVOID HelperDllSocketContext, SOCKET SocketHandle,
                                   HANDLE TdiAddressObjectHandle, HANDLE TdiConnectionObjectHandle, INT Level,
                                   INT OptionName, PCHAR OptionValue, LPINT OptionLength);
INT WINAPI WSHGetWildcardSockaddr(PVOID HelperDllSocketContext, PSOCKADDR Sockaddr, LPINT SockaddrLength);
DWORD WINAPI WSHGetWinsockMapping(PWINSOCK_MAPPING Mapping, DWORD MappingLength);
INT WINAPI WSHNotify(PVOID HelperDllSocketContext, SOCKET SocketHandle, HANDLE TdiAddressObjectHandle,
                     HANDLE TdiConnectionObjectHandle, DWORD NotifyEvent);
INT WINAPI WSHOpenSocket(LPINT AddressFamily, LPINT SocketType, LPINT Protocol,
                         PUNICODE_STRING TransportDeviceName, PVOID* HelperDllSocketContext,
                         LPDWORD NotificationEvents);
INT WINAPI WSHSetSocketInformation(PVOID HelperDllSocketContext, SOCKET SocketHandle,
                                   HANDLE TdiAddressObjectHandle, HANDLE TdiConnectionObjectHandle, INT Level,
                                   INT OptionName, PCHAR OptionValue, INT OptionLength);
}
