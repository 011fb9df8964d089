#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

DialogDriver* active = nullptr;
const int BoxTextId = 0xFFFF;  // the static holding a message box's text
const DWORD RetryMs = 500;     // pace of the safety timer once it has fired

bool Has(const std::vector<HWND>& list, HWND w)
{
    return std::find(list.begin(), list.end(), w) != list.end();
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

bool IsDialog(HWND window) { return ClassOf(window) == "#32770"; }

// A dialog whose text is static 0xFFFF and which holds only statics and buttons.
bool IsMessageBox(HWND window)
{
    HWND text = GetDlgItem(window, BoxTextId);
    if (!IsDialog(window) || !text || ClassOf(text) != "Static")
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) != "Static" && ClassOf(child) != "Button")
            return false;
    return true;
}

// The MB_ICON* flag of the box's icon and the MB_ type of its visible buttons.
UINT StyleOf(HWND box)
{
    static const std::pair<LPCSTR, UINT> icons[] = {{IDI_HAND, MB_ICONHAND},
                                                    {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                                    {IDI_QUESTION, MB_ICONQUESTION},
                                                    {IDI_ASTERISK, MB_ICONASTERISK}};
    UINT style = 0;
    bool shown[IDNO + 1] = {};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (ClassOf(child) == "Button" && id >= 0 && id <= IDNO)
            shown[id] = IsWindowVisible(child);
        HICON icon = ClassOf(child) == "Static" ? HICON(SendMessageA(child, STM_GETICON, 0, 0)) : nullptr;
        for (const auto& known : icons)
            style |= icon && icon == LoadIconA(nullptr, known.first) ? known.second : 0;
    }
    return style | (shown[IDABORT]    ? MB_ABORTRETRYIGNORE
                    : shown[IDYES]    ? (shown[IDCANCEL] ? MB_YESNOCANCEL : MB_YESNO)
                    : shown[IDRETRY]  ? MB_RETRYCANCEL
                    : shown[IDCANCEL] ? MB_OKCANCEL
                                      : MB_OK);
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list)
{
    if (IsDialog(window) && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

DialogDriver::DialogDriver(DWORD idleTimeoutMs)
    : idle(idleTimeoutMs), hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId()))
{
    if (active || !hook)
        ADD_FAILURE() << "another DialogDriver is active, or no hook (error " << GetLastError() << ")";
    active = this;
    Arm(idle);
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(hook);
    KillTimer(nullptr, stepTimer);
    KillTimer(nullptr, safetyTimer);
    active = nullptr;
    Verify();
}

std::vector<std::string> DialogDriver::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const MessageBoxRecord& box : boxes)
        texts.push_back(box.text);
    return texts;
}

void DialogDriver::Verify()
{
    for (const std::string& failure : failures)
        ADD_FAILURE() << failure;
    for (const Step& step : steps)
        ADD_FAILURE() << "step never reached: "
                      << (step.box ? "a message box" : "dialog \"" + step.caption + "\"");
    failures.clear();
    steps.clear();
}

// The hook only notes the window: its step runs from the modal loop, once
// activation (and the dialog's own focus setting) is over.
LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && active && IsDialog(window) && !Has(active->closing, window)) {
        active->pending.push_back(window);
        if (!active->stepTimer)
            active->stepTimer = SetTimer(nullptr, 0, 0, Timer);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::Timer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (active && id == active->safetyTimer)
        return active->CloseEverything();
    KillTimer(nullptr, id);
    if (!active || id != active->stepTimer)
        return;
    active->stepTimer = 0;
    std::vector<HWND> windows;
    windows.swap(active->pending);
    for (HWND window : windows)
        if (IsWindow(window))
            active->Handle(window);
}

void DialogDriver::Handle(HWND window)
{
    bool box = IsMessageBox(window), known = Has(handled, window);
    bool expected = !steps.empty() && steps.front().box == box &&
                    (box ? !known : steps.front().caption == WindowText(window));
    if (known && !expected)
        return;  // shown again after its own message box
    handled.push_back(window);
    if (box)
        boxes.push_back({WindowText(window), ControlText(window, BoxTextId), GetWindow(window, GW_OWNER),
                         StyleOf(window), expected});
    if (!expected)
        return Cancel(window, box ? "unexpected message box \"" + boxes.back().caption + "\": \"" +
                                        boxes.back().text + "\""
                                  : "unexpected dialog \"" + WindowText(window) + "\"");
    Step step = std::move(steps.front());
    steps.erase(steps.begin());
    Arm(idle);
    if (step.action)
        step.action(window);
    if (box)
        PressButton(window, step.answer);
}

void DialogDriver::Cancel(HWND window, const std::string& failure)
{
    failures.push_back(failure);
    closing.push_back(window);
    PressButton(window, IDCANCEL);
}

// Cancels every visible dialog of this thread, as a user would; one still
// open a round later ignored that and is ended outright.
void DialogDriver::CloseEverything()
{
    std::vector<HWND> open;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&open));
    for (HWND window : open) {
        if (Has(closing, window))
            EndDialog(window, IDCANCEL);
        else
            Cancel(window, "timed out with \"" + WindowText(window) + "\" open" +
                               (IsMessageBox(window) ? ": \"" + ControlText(window, BoxTextId) + "\"" : ""));
    }
    Arm(open.empty() ? idle : RetryMs);
}

void DialogDriver::Arm(DWORD ms)
{
    KillTimer(nullptr, safetyTimer);
    safetyTimer = SetTimer(nullptr, 0, ms, Timer);
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
    DWORD start = GetTickCount(), elapsed;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        elapsed = GetTickCount() - start;
    } while (elapsed < 50 &&
             MsgWaitForMultipleObjects(0, nullptr, FALSE, 50 - elapsed, QS_ALLINPUT) != WAIT_TIMEOUT);
}
