#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

DialogDriver* active = nullptr;
const int BoxTextId = 0xFFFF;  // the static holding a message box's text

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// A message box is a dialog of statics and buttons, its text in static 0xFFFF; style gets the MB_ICON*
// flag of its icon and the MB_ type of its visible buttons (OK, OK-Cancel, Yes-No, Yes-No-Cancel).
bool IsMessageBox(HWND window, UINT& style)
{
    if (ClassOf(GetDlgItem(window, BoxTextId)) != "Static")
        return false;
    bool shown[IDNO + 1] = {};
    style = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = ClassOf(child);
        if (kind != "Static" && kind != "Button")
            return false;
        if (kind == "Button" && GetDlgCtrlID(child) <= IDNO)
            shown[GetDlgCtrlID(child)] =
                GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE;  // its box is not shown yet
        HICON icon = kind == "Static" ? HICON(SendMessageA(child, STM_GETICON, 0, 0)) : nullptr;
        for (int k = 0; icon && k < 4; ++k)  // IDI_HAND..IDI_ASTERISK show MB_ICONHAND..MB_ICONASTERISK
            style |= icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32513 + k)) ? (k + 1) << 4 : 0;
    }
    style |= shown[IDYES]      ? (shown[IDCANCEL] ? MB_YESNOCANCEL : MB_YESNO)
             : shown[IDCANCEL] ? MB_OKCANCEL
                               : MB_OK;
    return true;
}

BOOL CALLBACK Note(HWND w, LPARAM list) { return ((std::vector<HWND>*)list)->push_back(w), TRUE; }

}  // namespace

DialogDriver::DialogDriver(DWORD timeoutMs) : timeout(timeoutMs)
{
    if (active || !hook || !timer)
        ADD_FAILURE() << "another DialogDriver is active, or no hook or timer: " << GetLastError();
    active = this;
    EnumThreadWindows(GetCurrentThreadId(), Note, LPARAM(&before));
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(hook);
    KillTimer(nullptr, timer);
    active = nullptr;
    for (const Answer& answer : answers)
        ADD_FAILURE() << "step never reached: " << (answer.box ? "message box" : '"' + answer.caption + '"');
}

LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && active && ClassOf(window) == "#32770")
        active->Activated(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Takes the next answer for a window, or reports and cancels it.
void DialogDriver::Activated(HWND window)
{
    if (std::count(before.begin(), before.end(), window))
        return;
    UINT style = 0;
    bool box = IsMessageBox(window, style), again = std::count(seen.begin(), seen.end(), window) > 0;
    bool expected = !answers.empty() && answers.front().box == box &&
                    (box || answers.front().caption == WindowText(window));
    if (again && (box || !expected))
        return;  // active again after its own message box
    seen.push_back(window);
    lastWindow = GetTickCount();
    if (box) {
        texts.push_back(ControlText(window, BoxTextId));
        boxes.push_back({WindowText(window), texts.back(), GetWindow(window, GW_OWNER), style});
    }
    if (expected) {
        due.emplace_back(window, std::move(answers.front()));
        return answers.pop_front();
    }
    ADD_FAILURE() << "unexpected " << (box ? "message box \"" : "dialog \"") << WindowText(window) << '"'
                  << (box ? ": \"" + texts.back() + '"' : "");
    PressButton(window, IDCANCEL);
}

// Runs the answers taken; after the time-out, ends every window still shown.
void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!active)
        return;
    for (auto& [window, answer] : std::exchange(active->due, {})) {
        if (answer.action)
            answer.action(window);
        if (answer.box)
            PressButton(window, answer.button);
    }
    if (GetTickCount() - active->lastWindow > active->timeout)
        for (HWND window : active->seen)
            if (IsWindowVisible(window)) {
                ADD_FAILURE() << "timed out with \"" << WindowText(window) << "\" open";
                EndDialog(window, IDCANCEL);  // hides it at once
            }
}
