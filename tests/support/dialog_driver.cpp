#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

DialogDriver* activeDriver = nullptr;

// Once it fires, the safety timer keeps closing at this pace.
const DWORD SafetyRepeatMs = 500;
// The control that holds a message box's text.
const int MessageBoxTextId = 0xFFFF;

bool Contains(const std::vector<HWND>& list, HWND window)
{
    return std::find(list.begin(), list.end(), window) != list.end();
}

bool IsDialogWindow(HWND window)
{
    return WindowClass(window) == "#32770";
}

// Name of the standard icon a message box shows, or "".
std::string IconName(HWND box)
{
    struct Known {
        LPCSTR id;
        const char* name;
    } const known[] = {{IDI_HAND, "hand"}, {IDI_EXCLAMATION, "exclamation"},
                       {IDI_QUESTION, "question"}, {IDI_ASTERISK, "asterisk"}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (WindowClass(child) != "Static" || (style & SS_TYPEMASK) != SS_ICON)
            continue;
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        for (const Known& k : known)
            if (icon && icon == LoadIconA(nullptr, k.id))
                return k.name;
    }
    return "";
}

std::vector<int> VisibleButtons(HWND box)
{
    std::vector<int> ids;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button))
            ids.push_back(id);
    }
    return ids;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list)
{
    if (IsDialogWindow(window) && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------

DialogDriver::DialogDriver(DWORD idleTimeoutMs) : idleTimeout(idleTimeoutMs)
{
    if (activeDriver)
        ADD_FAILURE() << "a DialogDriver is already active on this thread";
    activeDriver = this;
    hook = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    if (!hook)
        ADD_FAILURE() << "WH_CBT hook not installed, error " << GetLastError();
    ArmSafetyTimer(idleTimeout);
}

DialogDriver::~DialogDriver()
{
    if (hook)
        UnhookWindowsHookEx(hook);
    if (stepTimer)
        KillTimer(nullptr, stepTimer);
    if (safetyTimer)
        KillTimer(nullptr, safetyTimer);
    if (activeDriver == this)
        activeDriver = nullptr;
    Verify();
}

DialogDriver& DialogDriver::OnDialog(const std::string& caption, Action action)
{
    steps.push_back(Step{false, caption, 0, std::move(action)});
    return *this;
}

DialogDriver& DialogDriver::OnMessageBox(int answer, Action check)
{
    steps.push_back(Step{true, "", answer, std::move(check)});
    return *this;
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
    failures.clear();
    for (const Step& step : steps)
        ADD_FAILURE() << "step never reached: "
                      << (step.messageBox ? "a message box" : "dialog \"" + step.caption + "\"");
    steps.clear();
}

// The hook only notes the window: the step runs from a timer, inside the
// modal loop, once activation (and the dialog's focus restoring) is over.
LRESULT CALLBACK DialogDriver::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && activeDriver)
        activeDriver->Activated(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Activated(HWND window)
{
    if (!IsDialogWindow(window) || Contains(closing, window))
        return;
    pending.push_back(window);
    if (!stepTimer)
        stepTimer = SetTimer(nullptr, 0, 0, StepTimerProc);
}

void CALLBACK DialogDriver::StepTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (activeDriver && activeDriver->stepTimer == id) {
        activeDriver->stepTimer = 0;
        activeDriver->RunPending();
    }
}

void DialogDriver::RunPending()
{
    std::vector<HWND> windows;
    windows.swap(pending);
    for (HWND window : windows)
        if (IsWindow(window))
            Handle(window);
}

void DialogDriver::Handle(HWND window)
{
    bool messageBox = IsMessageBoxWindow(window);
    bool known = Contains(handled, window);
    if (!steps.empty() && steps.front().messageBox == messageBox &&
        (messageBox ? !known : steps.front().caption == WindowText(window))) {
        Step step = std::move(steps.front());
        steps.erase(steps.begin());
        handled.push_back(window);
        ArmSafetyTimer(idleTimeout);
        if (messageBox)
            RecordBox(window, true);
        if (step.action)
            step.action(window);
        if (messageBox)
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(step.answer, BN_CLICKED), 0);
        return;
    }
    if (!known)
        Unexpected(window, messageBox);
}

void DialogDriver::Unexpected(HWND window, bool messageBox)
{
    handled.push_back(window);
    if (messageBox) {
        RecordBox(window, false);
        failures.push_back("unexpected message box \"" + boxes.back().caption + "\": \"" +
                           boxes.back().text + "\"");
    } else {
        failures.push_back("unexpected dialog \"" + WindowText(window) + "\"");
    }
    closing.push_back(window);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void DialogDriver::RecordBox(HWND box, bool expected)
{
    MessageBoxRecord record;
    record.caption = WindowText(box);
    record.text = ControlText(box, MessageBoxTextId);
    record.owner = GetWindow(box, GW_OWNER);
    record.icon = IconName(box);
    record.buttons = VisibleButtons(box);
    record.expected = expected;
    boxes.push_back(record);
}

void DialogDriver::ArmSafetyTimer(DWORD ms)
{
    if (safetyTimer)
        KillTimer(nullptr, safetyTimer);
    safetyTimer = SetTimer(nullptr, 0, ms, SafetyTimerProc);
}

void CALLBACK DialogDriver::SafetyTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!activeDriver || activeDriver->safetyTimer != id) {
        KillTimer(nullptr, id);
        return;
    }
    activeDriver->CloseEverything();
}

// Closes every visible dialog of this thread: first with IDCANCEL, as a
// user would; a window still there on the next round is ended outright.
void DialogDriver::CloseEverything()
{
    std::vector<HWND> open;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&open));
    if (open.empty()) {
        ArmSafetyTimer(idleTimeout);
        return;
    }
    for (HWND window : open) {
        if (Contains(closing, window)) {
            EndDialog(window, IDCANCEL);
            continue;
        }
        failures.push_back("timed out with \"" + WindowText(window) + "\" open" +
                           (IsMessageBoxWindow(window) ? ": \"" + ControlText(window, MessageBoxTextId) + "\""
                                                       : std::string()));
        closing.push_back(window);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    ArmSafetyTimer(SafetyRepeatMs);
}

// ---------------------------------------------------------------------------

bool IsMessageBoxWindow(HWND window)
{
    HWND text = GetDlgItem(window, MessageBoxTextId);
    if (!IsDialogWindow(window) || !text || WindowClass(text) != "Static")
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = WindowClass(child);
        if (kind != "Static" && kind != "Button")
            return false;
    }
    return true;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string WindowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

void SetControlText(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}

std::string ControlText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void SetControlChecked(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsControlChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void flush_events()
{
    const DWORD settleMs = 50;
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= settleMs ||
            MsgWaitForMultipleObjects(0, nullptr, FALSE, settleMs - elapsed, QS_ALLINPUT) == WAIT_TIMEOUT)
            return;
    }
}
