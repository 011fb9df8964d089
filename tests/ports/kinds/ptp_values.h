// A port loaded from, and saved to, entry values in their typed form
// ("d:123", "s:text", "m:a|b||"; support/entry_values.h).
#pragma once
#include <memory>

#include "registry/reg_key.h"
#include "support/entry_values.h"

using Values = EntryValues;
using Texts = std::vector<std::string>;

inline Values V(const std::string& text) { return ParseValues(text); }

template <class Kind>
std::unique_ptr<Kind> Load(const Values& stored)
{
    RegistrySandbox entry("TolmarinPtpIn");
    StoreValues(HKEY_CURRENT_USER, entry.Path(), stored);
    return std::make_unique<Kind>(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// What the port saves; with defaults, only what differs from them.
inline Values Saved(const Port& port, const Values& defaults = {})
{
    RegistrySandbox saved("TolmarinPtpOut");
    EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
    Values values = ReadValues(HKEY_CURRENT_USER, saved.Path(), true);
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
