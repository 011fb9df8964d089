// Runs the modal dialogs and message boxes opened on the test's thread for
// real, answering them step by step so that nothing hangs. A WH_CBT hook notes
// each dialog (#32770, message boxes too) as it activates; a timer runs the
// next step from inside the modal loop. A dialog shown again after its own
// message box is left alone unless the next step names it; any other window is
// cancelled and reported. After idleTimeoutMs without a step the safety timer
// cancels what is open, then ends it. One driver at a time.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption, text;
    HWND owner;     // null when unowned
    UINT style;     // MB_ICON* | MB_OK, MB_OKCANCEL, ...: what it shows
    bool expected;  // false when no step waited for it
};

class DialogDriver {
public:
    using Action = std::function<void(HWND window)>;

    explicit DialogDriver(DWORD idleTimeoutMs = 10000);
    ~DialogDriver();
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
    std::vector<std::string> MessageTexts() const;
    // Reports what went wrong so far as test failures (the destructor does too).
    void Verify();

private:
    struct Step {
        bool box;
        std::string caption;
        int answer;
        Action action;
    };
    DialogDriver& Add(const Step& step) { return steps.push_back(step), *this; }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Timer(HWND, UINT, UINT_PTR id, DWORD);
    void Handle(HWND window);
    void Cancel(HWND window, const std::string& failure);
    void CloseEverything();
    void Arm(DWORD ms);

    DWORD idle;
    HHOOK hook;
    UINT_PTR stepTimer = 0, safetyTimer = 0;
    std::vector<Step> steps;
    std::vector<HWND> pending, handled, closing;
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> failures;
};

std::string WindowText(HWND window);
inline std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
// Posts the button's click, handled once the step is back in the modal loop.
void PressButton(HWND dialog, int id);
// Dispatches this thread's messages, and those arriving within 50 ms.
void flush_events();
