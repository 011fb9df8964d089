// A port loaded from and saved to typed entry values (support/entry_values.h), its check and texts.
#pragma once
#include "ports/port.h"
#include "registry/reg_key.h"
#include "support/dialog_driver.h"
#include "support/entry_values.h"

using Values = EntryValues;

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

using Typed = std::vector<std::pair<int, std::string>>;

// The port made by dialog id of proc from port and typed texts ("+", "-": a button set or cleared, clicked).
inline std::unique_ptr<Port> Edited(const Port& port, int id, DLGPROC proc, const Typed& typed)
{
    Modeless modeless(id, proc, &port);
    for (const auto& [control, text] : typed) {
        if (text == "+" || text == "-") {
            CheckDlgButton(modeless.window, control, text == "+" ? BST_CHECKED : BST_UNCHECKED);
            proc(modeless.window, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0);
        } else {
            SetDlgItemTextA(modeless.window, control, text.c_str());
        }
    }
    return std::unique_ptr<Port>(port.CreateFromDialog(modeless.window));
}
