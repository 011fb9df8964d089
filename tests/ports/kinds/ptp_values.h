// Helpers of the kinds' tables: a port loaded from, and saved to, entry
// values in their typed form ("d:123", "s:text", "m:a|b||";
// support/entry_values.h), its check and its texts as one line each.
#pragma once
#include <memory>

#include "ports/port.h"
#include "registry/reg_key.h"
#include "support/dialog_driver.h"
#include "support/entry_values.h"

using Values = EntryValues;
using Texts = std::vector<std::string>;

inline Values V(const std::string& text) { return ParseValues(text); }

template <class Kind>
std::unique_ptr<Kind> Load(const std::string& stored)
{
    RegistrySandbox entry("TolmarinKindIn");
    StoreValues(HKEY_CURRENT_USER, entry.Path(), stored);
    return std::make_unique<Kind>(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

// What the port saves; with defaults, only what differs from them.
inline Values Saved(const Port& port, const Values& defaults = {}, bool typed = true)
{
    RegistrySandbox saved("TolmarinKindOut");
    EXPECT_TRUE(port.Save(RegWriteKey(HKEY_CURRENT_USER, saved.Path().c_str())));
    Values values = ReadValues(HKEY_CURRENT_USER, saved.Path(), typed);
    for (const auto& [name, value] : defaults)
        if (values.count(name) && values[name] == value)
            values.erase(name);
    return values;
}

// "valid", or the failing control and message as "510/145".
inline std::string Failure(const Port& port)
{
    int control = 0, message = 0;
    return port.Validate(control, message) ? "valid"
                                           : std::to_string(control) + "/" + std::to_string(message);
}

// The texts of a Port Table row: port id, attached, network, NIC, secondary info.
inline Texts ListTexts(const Port& port)
{
    return {port.GetPortIdText(), port.GetAttachedText(), port.GetNetworkText(), port.GetNicText(),
            port.GetSecondaryInfo()};
}

// The texts of a dialog's controls, joined by '|'.
inline std::string ControlTexts(HWND dialog, std::initializer_list<int> ids)
{
    std::string texts;
    for (int id : ids)
        texts += (id == *ids.begin() ? "" : "|") + ControlText(dialog, id);
    return texts;
}
