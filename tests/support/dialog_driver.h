// Answers the dialogs and message boxes of the test's thread step by step: a
// WH_CBT hook notes each as it activates, a timer runs its step in the modal
// loop. A dialog shown again after its own message box is left alone unless
// the next step names it; any other window is reported and cancelled; after
// idleTimeoutMs without a step, every dialog still open is reported and ended.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption, text;
    HWND owner;  // null when unowned
    UINT style;  // MB_ICON* | MB_OK, MB_OKCANCEL, ...: what it shows
};

class DialogDriver {
public:
    using Action = std::function<void(HWND window)>;

    explicit DialogDriver(DWORD idleTimeoutMs = 10000);
    ~DialogDriver();  // reports the steps never reached
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Next step: the dialog captioned caption; action fills, looks, presses.
    DialogDriver& OnDialog(const std::string& caption, Action action)
    {
        return Add({false, caption, 0, action});
    }
    // Next step: a message box; recorded, checked while shown, then answered.
    DialogDriver& OnMessageBox(int answer, Action check = nullptr) { return Add({true, "", answer, check}); }
    // Every message box seen, expected or not, in order.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes; }
    const std::vector<std::string>& MessageTexts() const { return texts; }

private:
    struct Step {
        bool box;
        std::string caption;
        int answer;
        Action action;
    };
    DialogDriver& Add(const Step& step) { return steps.push_back(step), *this; }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Handle(HWND window);

    DWORD idle, lastStep = GetTickCount();
    HHOOK hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    std::vector<Step> steps;
    std::vector<HWND> pending, handled;
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> texts;
};

std::string WindowText(HWND window);
inline std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
// Posts the button's click, handled once the step is back in the modal loop.
void PressButton(HWND dialog, int id);
// Dispatches this thread's messages for 50 ms.
void flush_events();
