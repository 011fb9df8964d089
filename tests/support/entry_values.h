// An entry's values and its subkeys' as one line "Name=value;Sub\Name=value": "#123" or "d:123"
// (REG_DWORD, "%i"), "m:a|b||" (REG_MULTI_SZ, '|' for each NUL, as given), "s:text" or text (REG_SZ).
#pragma once
#include <winsock2.h>

#include <algorithm>
#include <map>

#include "support/registry_sandbox.h"

using EntryValues = std::map<std::string, std::string>;

inline EntryValues ParseValues(const std::string& line)
{
    EntryValues values;
    for (size_t at = 0, end; at < line.size(); at = end + 1) {
        end = std::min(line.find(';', at), line.size());
        size_t equals = line.find('=', at);
        values[line.substr(at, equals - at)] = line.substr(equals + 1, end - equals - 1);
    }
    return values;
}

inline void StoreValues(HKEY root, const std::string& entry, const EntryValues& values)
{
    for (const auto& [name, value] : values) {
        size_t slash = name.find('\\');
        bool typed = value.size() > 1 && value[1] == ':';
        char kind = value[0] == '#' ? 'd' : typed ? value[0] : 's';
        std::string key = slash == std::string::npos ? entry : entry + "\\" + name.substr(0, slash);
        std::string data = value.substr(value[0] == '#' ? 1 : typed ? 2 : 0);
        std::replace(data.begin(), data.end(), '|', '\0');
        if (kind == 'd')
            SetDword(root, key, name.substr(slash + 1).c_str(), DWORD(std::stoul(data, nullptr, 0)));
        else
            SetRaw(root, key, name.substr(slash + 1).c_str(), kind == 'm' ? REG_MULTI_SZ : REG_SZ,
                   data.data(), DWORD(data.size() + (kind == 's')));
    }
}
inline void StoreValues(HKEY root, const std::string& entry, const std::string& line)
{
    StoreValues(root, entry, ParseValues(line));
}

// Read back as "#123" and plain texts, or typed "d:123", "s:text"; another type as "t<type>:" and bytes.
inline EntryValues ReadValues(HKEY root, const std::string& entry, bool typed = false)
{
    EntryValues values;
    for (const std::string& name : ValueNames(root, entry)) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(root, entry, name.c_str(), &type, &data);
        std::string text(data.begin(), data.end() - (type == REG_SZ && !data.empty()));
        std::replace(text.begin(), text.end(), '\0', '|');
        values[name] = type == REG_DWORD
                           ? (typed ? "d:" : "#") + std::to_string(GetDword(root, entry, name.c_str()))
                       : type == REG_MULTI_SZ ? "m:" + text
                       : type != REG_SZ       ? "t" + std::to_string(type) + ":" + text
                                              : (typed ? "s:" : "") + text;
    }
    for (const std::string& sub : SubkeyNames(root, entry))
        for (const auto& [name, value] : ReadValues(root, entry + "\\" + sub, typed))
            values[sub + "\\" + name] = value;
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
