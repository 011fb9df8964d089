// Test helpers for the real (Wine) registry, independent of the library's own registry layer.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A scratch key, emptied and created; at the end of its scope its first new level goes with its tree.
class RegistrySandbox {
public:
    explicit RegistrySandbox(const char* name = "TolmarinTest")  // HKEY_CURRENT_USER\Software\<name>
        : RegistrySandbox(HKEY_CURRENT_USER, std::string("Software\\") + name)
    {
    }
    RegistrySandbox(HKEY root, const std::string& path);
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    const std::string& Path() const { return path; }

private:
    HKEY root;
    std::string path, created;
};

// Deletes a key and its whole tree (missing is fine).
void DeleteTree(HKEY root, const std::string& path);
// A link at path to target (below HKEY_LOCAL_MACHINE) for a scope; deleted itself, never its target.
class RegistryLink {
public:
    RegistryLink(HKEY root, const std::string& path, const std::string& target);
    ~RegistryLink();
    RegistryLink(const RegistryLink&) = delete;

private:
    HKEY root;
    std::string path;
};

bool KeyExists(HKEY root, const std::string& path);
void SetDword(HKEY root, const std::string& path, const char* name, DWORD value);
void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size);
void SetString(HKEY root, const std::string& path, const char* name, const std::string& text);
// True when the value exists; type and bytes are returned.
bool GetRaw(HKEY root, const std::string& path, const char* name, DWORD* type, std::vector<BYTE>* data);
// The value's DWORD, or fallback when missing or not four bytes.
DWORD GetDword(HKEY root, const std::string& path, const char* name, DWORD fallback = 0xDEADBEEF);
std::vector<std::string> SubkeyNames(HKEY root, const std::string& path);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);

// The Port Table key below HKEY_LOCAL_MACHINE, its entries, "Num_Entries" and an entry's REG_DWORDs.
extern const char TablePath[];
std::string EntryPath(int position);
void StoreEntryCount(DWORD count);
void StoreEntry(int position, std::initializer_list<std::pair<const char*, DWORD>> values);
