#include "registry/reg_key.h"

#include <new>
#include <string.h>

#include "stack/stack_names.h"

namespace {

// Key names are at most 255 characters; value names at most 16383.
const DWORD KeyNameCapacity = 256;
const DWORD ValueNameCapacity = 16384;
// Lists up to this size are read in one registry call.
const DWORD ShortListCapacity = 256;
const REGSAM ReadAccess = KEY_READ;               // 0x20019
const REGSAM WriteAccess = KEY_READ | KEY_WRITE;  // 0x2001F

// Copies the first component of path (up to the first backslash or the end)
// into component and points rest behind the backslash (or at the end).
// False when the component does not fit: no key can have such a name.
bool SplitFirst(const char* path, char (&component)[KeyNameCapacity], const char*& rest)
{
    const char* end = strchr(path, '\\');
    size_t length = end ? size_t(end - path) : strlen(path);
    if (length >= KeyNameCapacity)
        return false;
    memcpy(component, path, length);
    component[length] = '\0';
    rest = end ? end + 1 : path + length;
    return true;
}

// Deletes a key through its own handle: NtDeleteKey, which deletes a link
// itself when the handle was opened with REG_OPTION_OPEN_LINK. Windows
// 95/98 have neither it nor links.
typedef LONG(WINAPI* NtDeleteKeyFunction)(HANDLE key);
typedef ULONG(WINAPI* NtStatusToErrorFunction)(LONG status);

FARPROC NtRegistryCall(const char* name)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? GetProcAddress(ntdll, name) : nullptr;
}

// Looked up once: every key the module opens asks for it, and ntdll stays
// loaded as long as the process.
NtDeleteKeyFunction NtDeleteKeyCall()
{
    static bool looked = false;
    static NtDeleteKeyFunction call = nullptr;
    if (!looked) {
        call = reinterpret_cast<NtDeleteKeyFunction>(reinterpret_cast<void*>(NtRegistryCall("NtDeleteKey")));
        looked = true;
    }
    return call;
}

// The options that open the key asked for as itself, a link as the link.
DWORD OpenAsItself() { return NtDeleteKeyCall() ? REG_OPTION_OPEN_LINK : 0; }

// A registry link holds the path of its target in its REG_LINK value
// "SymbolicLinkValue"; without one it leads nowhere.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

// The key asked for, opened as itself; a link there counts as missing.
HKEY RefuseLink(HKEY key)
{
    if (key && IsLink(key)) {
        RegCloseKey(key);
        return nullptr;
    }
    return key;
}

HKEY Create(HKEY parent, const char* name, DWORD options, SECURITY_ATTRIBUTES* attributes)
{
    HKEY child = nullptr;
    DWORD disposition = 0;
    LONG status = RegKey::CreateKeyCall(parent, name, 0, const_cast<char*>(STACK_KEY_CLASS),
                                        REG_OPTION_NON_VOLATILE | options, WriteAccess, attributes, &child,
                                        &disposition);
    return status == ERROR_SUCCESS ? child : nullptr;
}

HKEY CreateAncestor(HKEY parent, const char* name) { return Create(parent, name, 0, nullptr); }

HKEY CreateTarget(HKEY parent, const char* name)
{
    return RefuseLink(Create(parent, name, OpenAsItself(), RegKey::SharedAttributes()));
}

HKEY Open(HKEY parent, const char* name, DWORD options)
{
    HKEY child = nullptr;
    return RegOpenKeyExA(parent, name, options, ReadAccess, &child) == ERROR_SUCCESS ? child : nullptr;
}

HKEY OpenAncestor(HKEY parent, const char* name) { return Open(parent, name, 0); }

HKEY OpenTarget(HKEY parent, const char* name) { return RefuseLink(Open(parent, name, OpenAsItself())); }

// The key asked for, opened as itself, without asking whether it is a link:
// for keys whose values are only read by name and whose subkeys are only
// opened. A link holds no value but "SymbolicLinkValue" and no subkeys, so
// each of those reads fails and gives its default, as on a missing key.
HKEY OpenTargetForNames(HKEY parent, const char* name) { return Open(parent, name, OpenAsItself()); }

typedef HKEY (*PathStep)(HKEY parent, const char* name);

// Walks path below root: each ancestor with ancestor, the last component
// with target, closing each intermediate key once the next level is open.
HKEY WalkPath(HKEY root, const char* path, PathStep ancestor, PathStep target)
{
    HKEY current = root;
    while (*path) {
        char component[KeyNameCapacity];
        const char* rest;
        HKEY next = nullptr;
        if (SplitFirst(path, component, rest))
            next = (*rest ? ancestor : target)(current, component);
        if (current != root)
            RegCloseKey(current);
        if (!next)
            return nullptr;
        current = next;
        path = rest;
    }
    return current;
}

// A value of that name goes; otherwise the key of that name with its tree.
bool DeleteLastComponent(HKEY current, const char* name)
{
    if (RegQueryValueExA(current, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        return RegDeleteValueA(current, name) == ERROR_SUCCESS;
    return RegKey::DeleteKeyTree(current, name) == ERROR_SUCCESS;
}

bool DeleteBelow(HKEY current, const char* path)
{
    char component[KeyNameCapacity];
    const char* rest;
    if (!SplitFirst(path, component, rest))
        return false;
    if (!*rest)
        return DeleteLastComponent(current, component);
    HKEY next = CreateAncestor(current, component);
    if (!next)
        return false;
    bool result = DeleteBelow(next, rest);
    RegCloseKey(next);
    return result;
}

// Deletes every value of key. Ends when none is left, or when an entry
// cannot be read or deleted: taking entry 0 again would then loop forever.
void DeleteAllValues(HKEY key)
{
    char* name = new (std::nothrow) char[ValueNameCapacity];
    if (!name)
        return;
    for (;;) {
        DWORD length = ValueNameCapacity;
        if (RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
            break;
    }
    delete[] name;
}

// Deletes and closes key, open as itself, named name below parent: through
// its handle where the system can (so a link goes, not its target), else by
// name. A key goes with its values; when it cannot go, its values are
// deleted one by one (with ownValues), so that what is left is what a
// deletion of the values before the key would have left. Deleting them
// only then saves two registry calls a value on every save.
LONG DeleteAndClose(HKEY key, HKEY parent, const char* name, bool ownValues)
{
    NtDeleteKeyFunction deleteKey = NtDeleteKeyCall();
    if (!deleteKey) {
        if (ownValues)
            DeleteAllValues(key);
        RegCloseKey(key);
        return RegDeleteKeyA(parent, name);
    }
    LONG status = deleteKey(key);
    if (status != 0 && ownValues)
        DeleteAllValues(key);
    RegCloseKey(key);
    if (status == 0)
        return ERROR_SUCCESS;
    NtStatusToErrorFunction toError = reinterpret_cast<NtStatusToErrorFunction>(
        reinterpret_cast<void*>(NtRegistryCall("RtlNtStatusToDosError")));
    return toError ? LONG(toError(status)) : ERROR_ACCESS_DENIED;
}

void DeleteAllSubkeys(HKEY key)
{
    for (;;) {
        char name[KeyNameCapacity];
        DWORD length = KeyNameCapacity;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegKey::DeleteKeyTree(key, name) != ERROR_SUCCESS)
            break;
    }
}

// Length of a list of NUL-terminated strings closed by an empty string,
// both terminators included: sum of (length + 1) + 1.
DWORD MultiStringLength(const char* list)
{
    if (!list)
        return 1;
    DWORD length = 0;
    while (list[length])
        length += DWORD(strlen(list + length)) + 1;
    return length + 1;
}

// Closes a list of length bytes read into buffer: whatever was stored, it
// ends within the capacity, so that a value without its closing NULs cannot
// be read past the end.
void CloseStoredList(char* buffer, DWORD capacity, DWORD length)
{
    if (capacity == 0)
        return;
    for (DWORD i = length; i < capacity && i < length + 2; ++i)
        buffer[i] = '\0';
    buffer[capacity - 1] = '\0';
    if (capacity > 1 && length + 1 >= capacity)
        buffer[capacity - 2] = '\0';
}

// Copies the default list def into buffer (when there is one), cut to the
// capacity and closed within it; returns its full length.
DWORD DefaultList(char* buffer, DWORD capacity, const char* def)
{
    DWORD full = MultiStringLength(def);
    if (buffer && capacity > 0) {
        DWORD n = full < capacity ? full : capacity;
        if (def)
            memcpy(buffer, def, n);
        buffer[n - 1] = '\0';
        if (n > 1)
            buffer[n - 2] = '\0';
    }
    return full;
}

}  // namespace

// ---------------------------------------------------------------------------

SAAllAccess::SAAllAccess() : descriptor(), attributes(), ready(false)
{
    OutputDebugStringA("TOLMARIN: SAAllAccess::SAAllAccess ()\n");
    if (InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) {
        attributes.nLength = sizeof(attributes);
        attributes.lpSecurityDescriptor = &descriptor;
        attributes.bInheritHandle = TRUE;
        ready = true;
    }
}

SECURITY_ATTRIBUTES* SAAllAccess::Attributes() { return ready ? &attributes : nullptr; }

// ---------------------------------------------------------------------------

unsigned RegKey::liveCount = 0;
SAAllAccess* RegKey::shared = nullptr;

RegKey::RegKey() : key(nullptr)
{
    if (liveCount++ == 0)
        shared = new (std::nothrow) SAAllAccess;
}

RegKey::~RegKey()
{
    if (key)
        RegCloseKey(key);
    if (--liveCount == 0) {
        delete shared;
        shared = nullptr;
    }
}

SECURITY_ATTRIBUTES* RegKey::SharedAttributes() { return shared ? shared->Attributes() : nullptr; }

decltype(&RegCreateKeyExA) RegKey::CreateKeyCall = RegCreateKeyExA;
decltype(&RegSetValueExA) RegKey::SetValueCall = RegSetValueExA;

HKEY RegKey::OpenKeyPath(HKEY root, const char* path)
{
    return WalkPath(root, path ? path : "", OpenAncestor, OpenTarget);
}

HKEY RegKey::OpenKeyPathForNames(HKEY root, const char* path)
{
    return WalkPath(root, path ? path : "", OpenAncestor, OpenTargetForNames);
}

HKEY RegKey::CreateKeyPath(HKEY root, const char* path)
{
    RegKey attributesInUse;  // keeps the shared all-access attributes alive
    return WalkPath(root, path ? path : "", CreateAncestor, CreateTarget);
}

bool RegKey::DeleteKeyPath(HKEY root, const char* path)
{
    if (!path || !*path)
        return false;
    return DeleteBelow(root, path);
}

LONG RegKey::DeleteKeyTree(HKEY parent, const char* name)
{
    HKEY sub = nullptr;
    LONG status = RegOpenKeyExA(parent, name, OpenAsItself(), WriteAccess | DELETE, &sub);
    if (status != ERROR_SUCCESS)
        return status;
    // A link holds nothing of its own but the path of its target.
    bool link = IsLink(sub);
    if (!link)
        DeleteAllSubkeys(sub);
    return DeleteAndClose(sub, parent, name, !link);
}

// ---------------------------------------------------------------------------
// Reads

bool RegKey::ReadNumber(const char* name, DWORD& out) const
{
    if (!key)
        return false;
    // A value shorter than four bytes is zero-extended; a longer one does
    // not fit and fails the query.
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return false;
    out = DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
    return true;
}

bool RegKey::ReadDword(const char* name, DWORD& out, DWORD def) const
{
    DWORD value;
    out = ReadNumber(name, value) ? value : def;
    return true;
}

bool RegKey::ReadByte(const char* name, BYTE& out, BYTE def) const
{
    DWORD value;
    out = ReadNumber(name, value) ? BYTE(value & 0xFF) : def;
    return true;
}

bool RegKey::ReadWord(const char* name, WORD& out, WORD def) const
{
    DWORD value;
    out = ReadNumber(name, value) ? WORD(value & 0xFFFF) : def;
    return true;
}

bool RegKey::ReadBool(const char* name, bool& out, bool def) const
{
    DWORD value;
    out = ReadNumber(name, value) ? value != 0 : def;
    return true;
}

// The value-returning reads: each one the ReadX of its type, for readers
// that mirror the writes (SetX(entry.ReadX(Name, Default))).

DWORD RegKey::ReadDword(const char* name, DWORD def) const
{
    DWORD value;
    ReadDword(name, value, def);
    return value;
}

BYTE RegKey::ReadByte(const char* name, BYTE def) const
{
    BYTE value;
    ReadByte(name, value, def);
    return value;
}

WORD RegKey::ReadWord(const char* name, WORD def) const
{
    WORD value;
    ReadWord(name, value, def);
    return value;
}

bool RegKey::ReadBool(const char* name, bool def) const
{
    bool value;
    ReadBool(name, value, def);
    return value;
}

bool RegKey::ReadString(const char* name, char* buffer, DWORD size, const char* def) const
{
    if (!buffer || size == 0)
        return true;
    buffer[0] = '\0';
    DWORD length = size;
    bool stored = key && RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                          &length) == ERROR_SUCCESS;
    if (stored) {
        // Terminate within the buffer; a text that fills it without its
        // terminator does not fit.
        if (length < size)
            buffer[length] = '\0';
        else if (buffer[size - 1] != '\0')
            stored = false;
    }
    if (!stored) {
        const char* text = def ? def : "";
        size_t n = strnlen(text, size - 1);
        memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return true;
}

bool RegKey::ReadMultiString(const char* name, char* buffer, DWORD& size, const char* def) const
{
    DWORD capacity = buffer ? size : 0;
    if (buffer && capacity > 0)
        buffer[0] = '\0';
    DWORD length = capacity;
    if (key && RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length) ==
                   ERROR_SUCCESS) {
        if (buffer)
            CloseStoredList(buffer, capacity, length);
        size = 2 * length;
        return true;
    }
    size = DefaultList(buffer, capacity, def);
    return true;
}

std::unique_ptr<char[]> RegKey::ReadMultiStringCopy(const char* name, DWORD& size, DWORD spare,
                                                    const char* def) const
{
    // A list that fits here is read in one registry call; a longer one is
    // sized first and read again.
    char shortList[ShortListCapacity];
    DWORD length = sizeof(shortList);
    LONG status =
        key ? RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(shortList), &length)
            : ERROR_INVALID_HANDLE;
    if (status == ERROR_MORE_DATA) {
        size = 0;
        ReadMultiString(name, nullptr, size, def);
        std::unique_ptr<char[]> list(new (std::nothrow) char[size + 1]());
        DWORD capacity = size + spare;
        if (list)
            ReadMultiString(name, list.get(), capacity, def);
        return list;
    }
    size = status == ERROR_SUCCESS ? 2 * length : MultiStringLength(def);
    std::unique_ptr<char[]> list(new (std::nothrow) char[size + 1]());
    DWORD capacity = size + spare;
    if (!list || capacity == 0)
        return list;
    if (status == ERROR_SUCCESS) {
        memcpy(list.get(), shortList, length < capacity ? length : capacity);
        CloseStoredList(list.get(), capacity, length);
    } else {
        DefaultList(list.get(), capacity, def);
    }
    return list;
}

bool RegKey::EnumValue(DWORD index, char* name, DWORD nameCapacity, DWORD* type, BYTE* data,
                       DWORD dataCapacity) const
{
    if (!key)
        return false;
    return RegEnumValueA(key, index, name, &nameCapacity, nullptr, type, data,
                         data ? &dataCapacity : nullptr) == ERROR_SUCCESS;
}

DWORD RegKey::GetMaxValueNameLength() const
{
    DWORD longest = 0;
    if (!key || RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                                 nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return longest + 1;
}

DWORD RegKey::GetMaxValueDataSize() const
{
    DWORD largest = 0;
    if (!key || RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &largest, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return largest;
}

// ---------------------------------------------------------------------------
// Writes

bool RegKey::Write(const char* name, DWORD type, const void* data, DWORD size) const
{
    return key && SetValueCall(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool RegKey::WriteDword(const char* name, DWORD value) const
{
    return Write(name, REG_DWORD, &value, sizeof(value));
}

bool RegKey::WriteByte(const char* name, DWORD value) const { return WriteDword(name, value & 0xFF); }

bool RegKey::WriteBool(const char* name, DWORD value) const { return WriteDword(name, value & 0xFF); }

bool RegKey::WriteWord(const char* name, DWORD value) const { return WriteDword(name, value & 0xFFFF); }

bool RegKey::WriteString(const char* name, const char* text) const
{
    if (!text)
        text = "";
    return Write(name, REG_SZ, text, DWORD(strlen(text)) + 1);
}

bool RegKey::WriteMultiString(const char* name, const char* list) const
{
    static const char empty[2] = {0, 0};
    if (!list)
        list = empty;
    return Write(name, REG_MULTI_SZ, list, MultiStringLength(list));
}

// ---------------------------------------------------------------------------

RegReadKey::RegReadKey(HKEY root, const char* path) { key = OpenKeyPath(root, path); }

RegReadKey::~RegReadKey() = default;

RegNamedReadKey::RegNamedReadKey(HKEY root, const char* path) { key = OpenKeyPathForNames(root, path); }

RegNamedReadKey::~RegNamedReadKey() = default;

RegWriteKey::RegWriteKey(HKEY root, const char* path) { key = CreateKeyPath(root, path); }

RegWriteKey::~RegWriteKey() = default;
