// Drives the modal dialogs and message boxes that the code under test opens
// on the test's own thread, so that a test can run them for real and never
// hang.
//
//   DialogDriver driver;
//   driver.OnDialog("Virtual Port Properties", [](HWND dialog) {
//       SetControlText(dialog, 510, "0");
//       PressButton(dialog, IDOK);
//   });
//   driver.OnMessageBox(IDOK);
//   driver.OnDialog("Virtual Port Properties", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
//   port.Edit(nullptr);
//
// A WH_CBT hook sees every dialog window (class #32770, message boxes
// included) when it is activated. Shortly after, from inside the modal
// loop, the next step of the script runs: a dialog step when the caption
// matches, a message-box step for a message box, which is recorded and then
// answered with a posted WM_COMMAND. A dialog activated again after one of
// its own message boxes closed is left alone unless the next step is for
// it. Anything else is unexpected: it is closed (IDCANCEL) and reported.
// A safety timer closes whatever is still open when no step has run for a
// while. The destructor reports, as test failures, every unexpected window,
// every time-out and every step never reached.
//
// One driver at a time, on the thread that shows the dialogs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    HWND owner = nullptr;      // owner window, null when unowned
    std::string icon;          // "hand", "exclamation", "question", "asterisk" or ""
    std::vector<int> buttons;  // ids of the buttons shown, in increasing order
    bool expected = true;      // false when no step was waiting for it
};

class DialogDriver {
public:
    using Action = std::function<void(HWND window)>;

    explicit DialogDriver(DWORD idleTimeoutMs = 10000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Next step: a dialog captioned caption activates; action runs on it
    // (set fields, check what it shows, press a button).
    DialogDriver& OnDialog(const std::string& caption, Action action);
    // Next step: a message box activates; it is recorded, check (if any)
    // runs while it is shown, and then it is answered with answer.
    DialogDriver& OnMessageBox(int answer, Action check = nullptr);

    // Every message box seen, expected or not, in order.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes; }
    // Their texts alone.
    std::vector<std::string> MessageTexts() const;
    // Unexpected windows and time-outs so far.
    const std::vector<std::string>& Failures() const { return failures; }
    // Steps not reached yet.
    size_t PendingSteps() const { return steps.size(); }

    // Reports failures and unreached steps as test failures now and forgets
    // them (the destructor does this too).
    void Verify();

private:
    struct Step {
        bool messageBox;
        std::string caption;
        int answer;
        Action action;
    };

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK StepTimerProc(HWND, UINT, UINT_PTR, DWORD);
    static void CALLBACK SafetyTimerProc(HWND, UINT, UINT_PTR, DWORD);

    void Activated(HWND window);
    void RunPending();
    void Handle(HWND window);
    void Unexpected(HWND window, bool messageBox);
    void RecordBox(HWND box, bool expected);
    void ArmSafetyTimer(DWORD ms);
    void CloseEverything();

    DWORD idleTimeout;
    HHOOK hook = nullptr;
    UINT_PTR stepTimer = 0;
    UINT_PTR safetyTimer = 0;
    std::vector<Step> steps;
    std::vector<HWND> pending;  // activated, step not run yet
    std::vector<HWND> handled;  // every window a step or a closing handled
    std::vector<HWND> closing;  // asked to close by the safety timer
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> failures;
};

// True for a message box: a dialog window whose text is static control
// 0xFFFF and which holds nothing but static controls and buttons.
bool IsMessageBoxWindow(HWND window);
std::string WindowText(HWND window);
std::string WindowClass(HWND window);

// Small actions for steps.
void SetControlText(HWND dialog, int id, const char* text);
std::string ControlText(HWND dialog, int id);
void SetControlChecked(HWND dialog, int id, bool checked);
bool IsControlChecked(HWND dialog, int id);
// Posts the button's click (WM_COMMAND, BN_CLICKED), handled once the step
// has returned to the dialog's message loop.
void PressButton(HWND dialog, int id);

// Dispatches the messages waiting on this thread's queue, and those that
// arrive within a short while, until the queue is idle.
void flush_events();
