// The eight Winsock helper calls of the data-link socket family. The
// framework calls them from any thread of any process that uses the family:
// they keep no state of their own, take no lock and touch no shared mutable
// data. The only state is a socket's WshSocketContext, which the framework
// holds between calls.
#include "wsh/wsh_interface.h"

#include <string.h>

#include "stack/stack_names.h"
#include "wsh/fault_guard.h"
#include "wsh/wsh_family.h"

namespace {

const wchar_t DeviceName[] = STACK_DEVICE_NAME_W;
const wchar_t ProtocolName[] = STACK_PROTOCOL_NAME_W;

// The message-oriented protocol has no largest message.
const DWORD NoMessageSizeLimit = 0xFFFFFFFF;

// The triples the family accepts, as the framework reads them; the first
// row is the canonical triple every accepted socket is turned into.
struct FamilyMapping {
    DWORD Rows;
    DWORD Columns;
    WINSOCK_MAPPING_ROW Mapping[6];
};
static_assert(sizeof(FamilyMapping) == 80, "the mapping is 80 bytes");
static_assert(offsetof(FamilyMapping, Mapping) == offsetof(WINSOCK_MAPPING, Mapping),
              "the mapping rows follow the published header");

const FamilyMapping Mapping = {
    6,
    3,
    {
        {WSH_ADDRESS_FAMILY, WSH_SOCKET_TYPE, WSH_PROTOCOL},
        {WSH_ADDRESS_FAMILY, WSH_SOCKET_TYPE, 0},
        {WSH_ADDRESS_FAMILY, 0, WSH_PROTOCOL},
        {0, WSH_SOCKET_TYPE, WSH_PROTOCOL},
        {0, 0, WSH_PROTOCOL},
        {WSH_ADDRESS_FAMILY, 0, 0},
    },
};
const WINSOCK_MAPPING_ROW& Canonical = Mapping.Mapping[0];

bool IsMappedTriple(INT family, INT type, INT protocol)
{
    for (const WINSOCK_MAPPING_ROW& row : Mapping.Mapping) {
        if (DWORD(family) == row.AddressFamily && DWORD(type) == row.SocketType &&
            DWORD(protocol) == row.Protocol)
            return true;
    }
    return false;
}

// True when the zero-terminated list names the family's protocol.
bool ListsProtocol(const INT* protocols)
{
    for (; *protocols != 0; ++protocols) {
        if (*protocols == WSH_PROTOCOL)
            return true;
    }
    return false;
}

// The PROTOCOL_INFOW record with the protocol name right behind it. The
// buffer need not be aligned, so both parts are copied in as bytes.
void FillProtocolRecord(BYTE* buffer)
{
    PROTOCOL_INFOW info;
    info.dwServiceFlags = XP_CONNECTIONLESS | XP_SUPPORTS_BROADCAST;
    info.iAddressFamily = WSH_ADDRESS_FAMILY;
    info.iMaxSockAddr = WSH_MAX_SOCKADDR;
    info.iMinSockAddr = WSH_MIN_SOCKADDR;
    info.iSocketType = WSH_SOCKET_TYPE;
    info.iProtocol = WSH_PROTOCOL;
    info.dwMessageSize = NoMessageSizeLimit;
    info.lpProtocol = reinterpret_cast<LPWSTR>(buffer + sizeof(info));
    memcpy(buffer, &info, sizeof(info));
    memcpy(buffer + sizeof(info), ProtocolName, sizeof(ProtocolName));
}

// A new context from the process heap holding the given 12 bytes, or null.
WshSocketContext* NewContext(const void* bytes)
{
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(WshSocketContext));
    if (memory)
        memcpy(memory, bytes, sizeof(WshSocketContext));
    return static_cast<WshSocketContext*>(memory);
}

// ---------------------------------------------------------------------------
// Address classification. Everything that reads the caller's address or
// writes its SockaddrInfo runs inside the fault guard.

struct Classification {
    const WshSockaddr* address;
    DWORD length;
    PSOCKADDR_INFO info;
    INT result;
};

WORD LittleEndian16(const BYTE* bytes) { return WORD(bytes[0] | (bytes[1] << 8)); }

INT StoreClassification(PSOCKADDR_INFO info, SOCKADDR_ADDRESS_INFO addressInfo)
{
    info->AddressInfo = addressInfo;
    info->EndpointInfo = SockaddrEndpointInfoNormal;
    return NO_ERROR;
}

INT ClassifyLongForm(const WshSockaddr* address, DWORD length, PSOCKADDR_INFO info)
{
    if (length < WSH_MAX_SOCKADDR)
        return WSAEFAULT;
    WORD octets = LittleEndian16(address->OctetCount);
    if (octets > WSH_MAX_OCTETS)
        return WSAEAFNOSUPPORT;
    return StoreClassification(info, octets == 0 ? SockaddrAddressInfoBroadcast : SockaddrAddressInfoNormal);
}

INT ClassifyAddress(const WshSockaddr* address, DWORD length, PSOCKADDR_INFO info)
{
    if (LittleEndian16(address->Family) != WSH_ADDRESS_FAMILY)
        return WSAEAFNOSUPPORT;
    switch (LittleEndian16(address->Form)) {
    case WSH_FORM_SHORT:
        if (length < WSH_MIN_SOCKADDR)
            return WSAEFAULT;
        return StoreClassification(info, SockaddrAddressInfoNormal);
    case WSH_FORM_LONG:
        return ClassifyLongForm(address, length, info);
    default:
        return WSAEINVAL;
    }
}

// The guarded access: kept out of line so that no read or write of the
// caller's memory can be moved outside the guard.
__attribute__((noinline, noclone)) void RunClassification(void* argument)
{
    Classification* job = static_cast<Classification*>(argument);
    job->result = ClassifyAddress(job->address, job->length, job->info);
}

}  // namespace

// ---------------------------------------------------------------------------
// The exported calls.

extern "C" INT WINAPI WSHEnumProtocols(LPINT lpiProtocols, LPWSTR, LPVOID lpProtocolBuffer,
                                       LPDWORD lpdwBufferLength)
{
    if (!lpdwBufferLength) {
        SetLastError(WSAEFAULT);
        return -1;
    }
    if (lpiProtocols && !ListsProtocol(lpiProtocols)) {
        *lpdwBufferLength = 0;
        return 0;
    }
    const DWORD required = sizeof(PROTOCOL_INFOW) + sizeof(ProtocolName);
    const DWORD available = *lpdwBufferLength;
    *lpdwBufferLength = required;
    if (required > available) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return -1;
    }
    if (!lpProtocolBuffer) {
        SetLastError(WSAEFAULT);
        return -1;
    }
    FillProtocolRecord(static_cast<BYTE*>(lpProtocolBuffer));
    return 1;
}

extern "C" DWORD WINAPI WSHGetWinsockMapping(PWINSOCK_MAPPING MappingBuffer, DWORD MappingLength)
{
    if (MappingBuffer && MappingLength >= sizeof(Mapping))
        memcpy(MappingBuffer, &Mapping, sizeof(Mapping));
    return sizeof(Mapping);
}

extern "C" INT WINAPI WSHOpenSocket(LPINT AddressFamily, LPINT SocketType, LPINT Protocol,
                                    PUNICODE_STRING TransportDeviceName, PVOID* HelperDllSocketContext,
                                    LPDWORD NotificationEvents)
{
    if (!AddressFamily || !SocketType || !Protocol)
        return WSAEFAULT;
    if (!IsMappedTriple(*AddressFamily, *SocketType, *Protocol))
        return WSAEINVAL;
    if (!TransportDeviceName || !HelperDllSocketContext || !NotificationEvents)
        return WSAEFAULT;

    *AddressFamily = INT(Canonical.AddressFamily);
    *SocketType = INT(Canonical.SocketType);
    *Protocol = INT(Canonical.Protocol);

    // The framework keeps the pointer: the name is the library's constant.
    TransportDeviceName->Length = sizeof(DeviceName) - sizeof(wchar_t);
    TransportDeviceName->MaximumLength = sizeof(DeviceName) - sizeof(wchar_t);
    TransportDeviceName->Buffer = const_cast<PWSTR>(DeviceName);

    WshSocketContext* context = NewContext(&Canonical);
    if (!context)
        return WSAENOBUFS;
    *HelperDllSocketContext = context;
    *NotificationEvents = WSH_NOTIFY_CLOSE;
    return NO_ERROR;
}

extern "C" INT WINAPI WSHNotify(PVOID HelperDllSocketContext, SOCKET, HANDLE, HANDLE, DWORD NotifyEvent)
{
    if (NotifyEvent != WSH_NOTIFY_CLOSE)
        return WSAEINVAL;
    if (HelperDllSocketContext)
        HeapFree(GetProcessHeap(), 0, HelperDllSocketContext);
    return NO_ERROR;
}

extern "C" INT WINAPI WSHGetSocketInformation(PVOID HelperDllSocketContext, SOCKET, HANDLE, HANDLE, INT Level,
                                              INT OptionName, PCHAR OptionValue, LPINT OptionLength)
{
    if (Level != SOL_INTERNAL)
        return WSAEINVAL;
    if (OptionName != SO_CONTEXT)
        return NO_ERROR;
    if (!OptionLength)
        return WSAEFAULT;
    if (OptionValue) {
        if (*OptionLength < INT(sizeof(WshSocketContext)))
            return WSAEFAULT;
        if (!HelperDllSocketContext)
            return WSAEINVAL;
        memcpy(OptionValue, HelperDllSocketContext, sizeof(WshSocketContext));
    }
    // A null buffer asks for the size.
    *OptionLength = sizeof(WshSocketContext);
    return NO_ERROR;
}

extern "C" INT WINAPI WSHSetSocketInformation(PVOID HelperDllSocketContext, SOCKET, HANDLE, HANDLE, INT Level,
                                              INT OptionName, PCHAR OptionValue, INT OptionLength)
{
    if (Level != SOL_INTERNAL || OptionName != SO_CONTEXT || OptionLength < INT(sizeof(WshSocketContext)))
        return WSAEINVAL;
    if (HelperDllSocketContext)
        return NO_ERROR;
    if (!OptionValue)
        return WSAEFAULT;
    // A null context: the socket handle was inherited or duplicated into this
    // process, and the option value holds the context bytes given out in the
    // other one. The framework learns the new context from the option
    // value's first pointer-sized field.
    WshSocketContext* context = NewContext(OptionValue);
    if (!context)
        return WSAENOBUFS;
    memcpy(OptionValue, &context, sizeof(context));
    return NO_ERROR;
}

extern "C" INT WINAPI WSHGetWildcardSockaddr(PVOID, PSOCKADDR, LPINT)
{
    return WSAEADDRNOTAVAIL;  // the family has no wildcard address
}

extern "C" INT WINAPI WSHGetSockaddrType(PSOCKADDR Sockaddr, DWORD SockaddrLength,
                                         PSOCKADDR_INFO SockaddrInfo)
{
    Classification job = {reinterpret_cast<const WshSockaddr*>(Sockaddr), SockaddrLength, SockaddrInfo,
                          WSAEINVAL};
    if (!RunGuarded(&RunClassification, &job))
        return WSAEINVAL;  // the address or SockaddrInfo was not accessible
    return job.result;
}
