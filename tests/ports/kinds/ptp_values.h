// Stored values of the point-to-point kinds, written and read back in one
// text form: "d:123" (REG_DWORD), "s:text" (REG_SZ) or "m:a|b||"
// (REG_MULTI_SZ, '|' for each NUL, stored exactly as given). A name
// "PTP\x" lies in the entry's subkey "PTP".
#pragma once
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

using Values = std::map<std::string, std::string>;
using Texts = std::vector<std::string>;

// Values written as "Name=value;Name=value".
inline Values V(const std::string& text)
{
    Values values;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find(';', at), text.size());
        size_t equals = text.find('=', at);
        values[text.substr(at, equals - at)] = text.substr(equals + 1, end - equals - 1);
    }
    return values;
}

inline void Store(const std::string& path, const Values& values)
{
    for (const auto& [name, value] : values) {
        size_t slash = name.find('\\');
        std::string key = slash == std::string::npos ? path : path + "\\" + name.substr(0, slash);
        std::string valueName = name.substr(slash + 1), data = value.substr(2);
        if (value[0] == 'd') {
            SetDword(HKEY_CURRENT_USER, key, valueName.c_str(), DWORD(std::stoul(data, nullptr, 0)));
            continue;
        }
        std::replace(data.begin(), data.end(), '|', '\0');
        SetRaw(HKEY_CURRENT_USER, key, valueName.c_str(), value[0] == 'm' ? REG_MULTI_SZ : REG_SZ,
               data.data(), DWORD(data.size() + (value[0] == 's')));
    }
}

inline Values Dump(const std::string& path, const std::string& prefix = "")
{
    Values values;
    for (const std::string& name : ValueNames(HKEY_CURRENT_USER, path)) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, path, name.c_str(), &type, &data);
        std::string text(data.begin(), data.end());
        if (type == REG_DWORD)
            text = std::to_string(GetDword(HKEY_CURRENT_USER, path, name.c_str()));
        else if (type == REG_SZ)
            text.pop_back();
        std::replace(text.begin(), text.end(), '\0', '|');
        values[prefix + name] = (type == REG_DWORD ? "d:" : type == REG_SZ ? "s:" : "m:") + text;
    }
    if (prefix.empty() && KeyExists(HKEY_CURRENT_USER, path + "\\PTP"))
        for (const auto& value : Dump(path + "\\PTP", "PTP\\"))
            values.insert(value);
    return values;
}

template <class Kind>
std::unique_ptr<Kind> Load(const Values& stored)
{
    RegistrySandbox entry("TolmarinPtpIn");
    Store(entry.Path(), stored);
    return std::make_unique<Kind>(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// What the port saves; with defaults, only what differs from them.
inline Values Saved(const Port& port, const Values& defaults = {})
{
    RegistrySandbox saved("TolmarinPtpOut");
    EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
    Values values = Dump(saved.Path());
    for (const auto& [name, value] : defaults)
        if (values.count(name) && values[name] == value)
            values.erase(name);
    return values;
}

inline std::string Failure(const Port& port)
{
    int control = 0, message = 0;
    return port.Validate(control, message) ? "valid"
                                           : std::to_string(control) + "/" + std::to_string(message);
}

inline Texts ListTexts(const Port& port)
{
    return {port.GetPortIdText(), port.GetAttachedText(), port.GetNetworkText(), port.GetNicText(),
            port.GetSecondaryInfo()};
}
