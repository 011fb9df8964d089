#include "support/registry_sandbox.h"

#include <string.h>

#include <algorithm>

// Declared by the system headers only for Windows Vista and later; Wine has it.
extern "C" __declspec(dllimport) LONG WINAPI RegDeleteTreeA(HKEY key, LPCSTR subkey);

const char TablePath[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl\\Port_Table";

using Names = std::vector<std::string>;

namespace {

HKEY Open(HKEY root, const std::string& path, DWORD options = 0, REGSAM access = KEY_READ)
{
    HKEY key = nullptr;
    return RegOpenKeyExA(root, path.c_str(), options, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

HKEY Create(HKEY root, const std::string& path, DWORD options = 0)
{
    HKEY key = nullptr;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

// The names of the subkeys, or of the values, of a key, in the registry's order.
Names EnumNames(HKEY root, const std::string& path, bool values)
{
    Names names;
    HKEY key = Open(root, path);
    char name[16384];
    for (DWORD i = 0, length = sizeof(name);
         key &&
         (values ? RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                 : RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)) == ERROR_SUCCESS;
         ++i, length = sizeof(name))
        names.push_back(name);
    key&& RegCloseKey(key);
    return names;
}

}  // namespace

RegistrySandbox::RegistrySandbox(HKEY root, const std::string& path) : root(root), path(path), created(path)
{
    DeleteTree(root, path);
    size_t end = path.find('\\');
    while (end != std::string::npos && KeyExists(root, path.substr(0, end)))
        end = path.find('\\', end + 1);
    created = path.substr(0, end);
    RegCloseKey(Create(root, path));
}

RegistrySandbox::~RegistrySandbox() { DeleteTree(root, created); }

void DeleteTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

RegistryLink::RegistryLink(HKEY root, const std::string& path, const std::string& target)
    : root(root), path(path)
{
    std::wstring name = L"\\Registry\\Machine\\" + std::wstring(target.begin(), target.end());
    if (HKEY link = Create(root, path, REG_OPTION_CREATE_LINK))
        RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.data()),
                       DWORD(name.size() * sizeof(wchar_t))),
            RegCloseKey(link);
}

// The link itself, or a key the test made of it again.
RegistryLink::~RegistryLink()
{
    auto deleteKey = reinterpret_cast<LONG(WINAPI*)(HANDLE)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    if (HKEY link = Open(root, path, REG_OPTION_OPEN_LINK, KEY_READ | DELETE))
        deleteKey(link), RegCloseKey(link);
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = Open(root, path);
    return key && !RegCloseKey(key);
}

void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size)
{
    if (HKEY key = Create(root, path))
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), RegCloseKey(key);
}

void SetDword(HKEY root, const std::string& path, const char* name, DWORD value)
{
    SetRaw(root, path, name, REG_DWORD, &value, sizeof(value));
}

void SetString(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    SetRaw(root, path, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

bool GetRaw(HKEY root, const std::string& path, const char* name, DWORD* type, std::vector<BYTE>* data)
{
    HKEY key = Open(root, path);
    DWORD size = 0, kind = 0;
    LONG status = key ? RegQueryValueExA(key, name, nullptr, &kind, nullptr, &size) : ERROR_FILE_NOT_FOUND;
    if (status == ERROR_SUCCESS && data) {
        data->assign(size, 0);
        status = RegQueryValueExA(key, name, nullptr, &kind, data->data(), &size);
        data->resize(size);
    }
    key&& RegCloseKey(key);
    type && (*type = kind);
    return status == ERROR_SUCCESS;
}

DWORD GetDword(HKEY root, const std::string& path, const char* name, DWORD fallback)
{
    std::vector<BYTE> data;
    return GetRaw(root, path, name, nullptr, &data) && data.size() == 4 ? memcpy(&fallback, data.data(), 4),
           fallback                                                     : fallback;
}

Names SubkeyNames(HKEY root, const std::string& path) { return EnumNames(root, path, false); }
Names ValueNames(HKEY root, const std::string& path) { return EnumNames(root, path, true); }

std::string EntryPath(int position) { return TablePath + std::string("\\Entry") + std::to_string(position); }

void StoreEntryCount(DWORD count) { SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", count); }

void StoreEntry(int position, std::initializer_list<std::pair<const char*, DWORD>> values)
{
    for (const auto& [name, value] : values)
        SetDword(HKEY_LOCAL_MACHINE, EntryPath(position), name, value);
}
