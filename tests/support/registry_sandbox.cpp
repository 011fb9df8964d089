#include "support/registry_sandbox.h"

#include <stdio.h>

#include <algorithm>

// Declared by the system headers only for Windows Vista and later; Wine has it.
extern "C" __declspec(dllimport) LONG WINAPI RegDeleteTreeA(HKEY key, LPCSTR subkey);

const char TablePath[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl\\Port_Table";

RegistrySandbox::RegistrySandbox(const char* name)
    : RegistrySandbox(HKEY_CURRENT_USER, std::string("Software\\") + name)
{
}

RegistrySandbox::RegistrySandbox(HKEY root, const std::string& path)
    : root(root), path(path), created(path), key(nullptr)
{
    DeleteTree(root, path);
    for (size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1)) {
        if (!KeyExists(root, path.substr(0, end))) {
            created = path.substr(0, end);
            break;
        }
    }
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
}

RegistrySandbox::~RegistrySandbox()
{
    if (key)
        RegCloseKey(key);
    DeleteTree(root, created);
}

void DeleteTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

RegistryLink::RegistryLink(HKEY root, const std::string& path, const std::string& target)
    : root(root), path(path)
{
    HKEY link;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring name = L"\\Registry\\Machine\\" + std::wstring(target.begin(), target.end());
    RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.data()),
                   DWORD(name.size() * sizeof(wchar_t)));
    RegCloseKey(link);
}

RegistryLink::~RegistryLink()
{
    typedef LONG(WINAPI * NtDeleteKeyFunction)(HANDLE);
    auto deleteKey = reinterpret_cast<NtDeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    HKEY link;
    if (RegOpenKeyExA(root, path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | DELETE, &link) != ERROR_SUCCESS)
        return;
    deleteKey(link);  // the link itself, or a key the test made of it again
    RegCloseKey(link);
}

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
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
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0, kind = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &kind, nullptr, &size);
    if (status == ERROR_SUCCESS && data) {
        data->assign(size, 0);
        status = RegQueryValueExA(key, name, nullptr, &kind, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    if (type)
        *type = kind;
    return status == ERROR_SUCCESS;
}

DWORD GetDword(HKEY root, const std::string& path, const char* name, DWORD fallback)
{
    std::vector<BYTE> data;
    DWORD type;
    if (!GetRaw(root, path, name, &type, &data) || data.size() != 4)
        return fallback;
    return DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
}

namespace {

// The names of the subkeys, or of the values, of a key, in the registry's order.
std::vector<std::string> EnumNames(HKEY root, const std::string& path, bool values)
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    std::vector<char> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD length = DWORD(name.size());
        LONG status = values
                          ? RegEnumValueA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                          : RegEnumKeyExA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break;
        names.push_back(name.data());
    }
    RegCloseKey(key);
    return names;
}

}  // namespace

std::vector<std::string> SubkeyNames(HKEY root, const std::string& path)
{
    return EnumNames(root, path, false);
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path)
{
    return EnumNames(root, path, true);
}

std::string EntryPath(int position)
{
    char name[32];
    snprintf(name, sizeof(name), "\\Entry%d", position);
    return std::string(TablePath) + name;
}

std::vector<std::string> SortedValueNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names = ValueNames(root, path);
    std::sort(names.begin(), names.end());
    return names;
}

void StoreEntryCount(DWORD count) { SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", count); }

void StoreEntry(int position, std::initializer_list<std::pair<const char*, DWORD>> values)
{
    for (const auto& value : values)
        SetDword(HKEY_LOCAL_MACHINE, EntryPath(position), value.first, value.second);
}
