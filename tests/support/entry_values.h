// An entry's values and those of its "Bip" subkey, written as one line:
// "Name=text;Bip\Name=#number;..." (numbers after '#', in "%i" form).
#pragma once
#include <winsock2.h>

#include <string.h>

#include <map>
#include <string>

#include "support/registry_sandbox.h"

using EntryValues = std::map<std::string, std::string>;

inline EntryValues ParseValues(const std::string& line)
{
    EntryValues values;
    for (size_t start = 0; start < line.size();) {
        size_t end = line.find(';', start), equals = line.find('=', start);
        end = end == std::string::npos ? line.size() : end;
        values[line.substr(start, equals - start)] = line.substr(equals + 1, end - equals - 1);
        start = end + 1;
    }
    return values;
}

inline void StoreValues(HKEY root, const std::string& entry, const std::string& line)
{
    for (const auto& [name, value] : ParseValues(line)) {
        size_t slash = name.find('\\');
        std::string key = slash == std::string::npos ? entry : entry + "\\" + name.substr(0, slash);
        const char* leaf = name.c_str() + (slash == std::string::npos ? 0 : slash + 1);
        if (value[0] == '#')
            SetDword(root, key, leaf, DWORD(std::stoul(value.substr(1), nullptr, 0)));
        else
            SetString(root, key, leaf, value);
    }
}

inline EntryValues ReadValues(HKEY root, const std::string& entry)
{
    EntryValues values;
    for (std::string key : {"", "Bip\\"})
        for (const std::string& name : ValueNames(root, entry + "\\" + key)) {
            DWORD type = 0;
            std::vector<BYTE> data;
            GetRaw(root, entry + "\\" + key, name.c_str(), &type, &data);
            std::string text(data.begin(), data.end());
            text.resize(strnlen(text.c_str(), text.size()));
            values[key + name] =
                type == REG_DWORD ? "#" + std::to_string(*reinterpret_cast<DWORD*>(data.data())) : text;
        }
    return values;
}

// The host's first address, read as a BACnet/IP port reads it, as text.
inline std::string HostFirstAddress()
{
    char name[128] = "";
    gethostname(name, sizeof(name));
    const hostent* host = gethostbyname(name);
    return host && host->h_addr_list[0] ? inet_ntoa(*reinterpret_cast<in_addr*>(host->h_addr_list[0]))
                                        : "0.0.0.0";
}
