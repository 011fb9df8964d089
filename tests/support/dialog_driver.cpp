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

// A message box is a dialog of statics and buttons, its text in static 0xFFFF;
// style gets the MB_ICON* flag of its icon and the MB_ type of its visible buttons.
bool IsMessageBox(HWND window, UINT& style)
{
    if (ClassOf(window) != "#32770" || ClassOf(GetDlgItem(window, BoxTextId)) != "Static")
        return false;
    bool shown[IDNO + 1] = {};
    style = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = ClassOf(child);
        if (kind != "Static" && kind != "Button")
            return false;
        if (kind == "Button" && GetDlgCtrlID(child) <= IDNO)
            shown[GetDlgCtrlID(child)] = IsWindowVisible(child);
        HICON icon = kind == "Static" ? HICON(SendMessageA(child, STM_GETICON, 0, 0)) : nullptr;
        for (int k = 0; icon && k < 4; ++k)  // IDI_HAND..IDI_ASTERISK show MB_ICONHAND..MB_ICONASTERISK
            style |= icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32513 + k)) ? (k + 1) << 4 : 0;
    }
    style |= shown[IDABORT]    ? MB_ABORTRETRYIGNORE
             : shown[IDYES]    ? (shown[IDCANCEL] ? MB_YESNOCANCEL : MB_YESNO)
             : shown[IDRETRY]  ? MB_RETRYCANCEL
             : shown[IDCANCEL] ? MB_OKCANCEL
                               : MB_OK;
    return true;
}

}  // namespace

DialogDriver::DialogDriver(DWORD idleTimeoutMs) : idle(idleTimeoutMs)
{
    if (active || !hook || !timer)
        ADD_FAILURE() << "another DialogDriver is active, or no hook or timer: " << GetLastError();
    active = this;
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(hook);
    KillTimer(nullptr, timer);
    active = nullptr;
    for (const Step& step : steps)
        ADD_FAILURE() << "step never reached: " << (step.box ? "message box" : '"' + step.caption + '"');
}

// Only notes the dialog: its step runs from the modal loop, once it is set up.
LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && active && ClassOf(window) == "#32770")
        active->pending.push_back(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs the steps of the dialogs noted; once idle, ends every dialog still open.
void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!active)
        return;
    for (HWND window : std::exchange(active->pending, {}))
        if (IsWindow(window))
            active->Handle(window);
    if (GetTickCount() - active->lastStep <= active->idle)
        return;
    for (HWND window : active->handled) {
        if (IsWindowVisible(window)) {
            ADD_FAILURE() << "timed out with \"" << WindowText(window) << "\" open";
            EndDialog(window, IDCANCEL);  // hides it at once
        }
    }
}

void DialogDriver::Handle(HWND window)
{
    UINT style = 0;
    bool box = IsMessageBox(window, style), known = std::count(handled.begin(), handled.end(), window) > 0;
    bool expected = !steps.empty() && steps.front().box == box &&
                    (box ? !known : steps.front().caption == WindowText(window));
    if (known && !expected)
        return;  // shown again after its own message box
    handled.push_back(window);
    lastStep = GetTickCount();
    if (box) {
        texts.push_back(ControlText(window, BoxTextId));
        boxes.push_back({WindowText(window), texts.back(), GetWindow(window, GW_OWNER), style});
    }
    if (!expected) {
        ADD_FAILURE() << "unexpected " << (box ? "message box \"" : "dialog \"") << WindowText(window) << "\""
                      << (box ? ": \"" + texts.back() + "\"" : "");
        return PressButton(window, IDCANCEL);
    }
    Step step = std::move(steps.front());
    steps.erase(steps.begin());
    if (step.action)
        step.action(window);
    if (box)
        PressButton(window, step.answer);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

void flush_events()
{
    MSG msg;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 50; Sleep(5))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}
