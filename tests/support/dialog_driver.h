// Drives the modal dialogs and message boxes that code under test opens on
// the test's thread, so that they run for real and never hang:
//   DialogDriver driver;
//   driver.OnDialog("Virtual Port Properties", [](HWND d) { PressButton(d, IDOK); }).OnMessageBox(IDOK);
// A WH_CBT hook notes each dialog (#32770, message boxes too) as it activates
// and a timer runs the next step from inside the modal loop. Every message box
// is recorded. A dialog shown again after its own message box is left alone
// unless the next step names it; any other window is cancelled and reported.
// After idleTimeoutMs without a step, the safety timer cancels whatever is
// open and, a round later, ends it. Failures and unreached steps become test
// failures in the destructor. One driver at a time.
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
        steps.push_back({false, caption, 0, std::move(action)});
        return *this;
    }
    // Next step: a message box; recorded, checked while shown, then answered.
    DialogDriver& OnMessageBox(int answer, Action check = nullptr)
    {
        steps.push_back({true, "", answer, std::move(check)});
        return *this;
    }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes; }
    std::vector<std::string> MessageTexts() const;
    // Reports the failures and unreached steps so far, and forgets them.
    void Verify();

private:
    struct Step { bool box; std::string caption; int answer; Action action; };
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
