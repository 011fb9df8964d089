// Answers the thread's modal dialogs and message boxes from a queue: a WH_CBT hook takes the next answer as
// each window activates, a timer runs it from the modal loop. A dialog active again takes an answer only
// when the next one names it. Windows open before the driver are left alone, unexpected ones reported and
// cancelled; after timeoutMs without a new window, whatever is still open is reported and ended.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption, text;
    HWND owner;  // null when unowned
    UINT style;  // MB_ICON* | MB_OK, MB_OKCANCEL, ...: what it shows
};

struct DialogDriver {
    using Action = std::function<void(HWND window)>;
    explicit DialogDriver(DWORD timeoutMs = 10000);
    ~DialogDriver();  // reports the answers never taken
    DialogDriver(const DialogDriver&) = delete;
    struct Answer {
        bool box;
        std::string caption;
        int button;  // pressed after action for a message box
        Action action;
    };
    DialogDriver& Queue(Answer answer) { return answers.push_back(answer), *this; }
    // Next answer: the dialog captioned c; action a fills, looks, presses.
    DialogDriver& OnDialog(const std::string& c, Action a) { return Queue({false, c, 0, a}); }
    // Next answer: a message box; recorded, checked by f while shown, then answered with button b.
    DialogDriver& OnMessageBox(int b, Action f = nullptr) { return Queue({true, "", b, f}); }
    // Every message box seen, expected or not, in order.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes; }
    const std::vector<std::string>& MessageTexts() const { return texts; }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Activated(HWND window);

    DWORD timeout, lastWindow = GetTickCount();
    HHOOK hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    std::deque<Answer> answers;
    std::vector<std::pair<HWND, Answer>> due;  // taken, run at the next tick
    std::vector<HWND> seen, before;            // before: the thread's windows at the start
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> texts;
};

// A dialog made without a modal loop, for the length of a scope.
struct Modeless {
    Modeless(int id, DLGPROC proc, const void* param)
        : window(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(id), nullptr, proc, LPARAM(param)))
    {
    }
    ~Modeless() { DestroyWindow(window); }
    Modeless(const Modeless&) = delete;
    HWND window;
};

inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}
inline std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
// The items of a combo box, "(unreadable)" for one that cannot be read.
inline std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    char text[512];
    for (LRESULT i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i)
        items.push_back(SendMessageA(combo, CB_GETLBTEXT, i, LPARAM(text)) >= 0 ? text : "(unreadable)");
    return items;
}
// Posts the button's click, handled once the step is back in the modal loop.
inline void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}