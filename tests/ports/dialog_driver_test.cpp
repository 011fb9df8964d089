// The dialog driver itself: what it does with windows no step waits for,
// with steps never reached and with a dialog left open, so that a faulty
// test fails instead of hanging.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "resource.h"
#include "support/dialog_driver.h"

namespace {

const char VirtualCaption[] = "Virtual Port Properties";

// Ends on OK and Cancel, like most dialogs.
INT_PTR CALLBACK PlainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// Ignores Cancel: only OK ends it.
INT_PTR CALLBACK StubbornProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

INT_PTR RunDialog(DLGPROC proc)
{
    return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr, proc, 0);
}

}  // namespace

TEST(DialogDriver, RunsStepsInOrderAndRecordsBoxes)
{
    std::string text;
    DialogDriver driver;
    driver.OnDialog(VirtualCaption, [&](HWND dialog) {
        SetControlText(dialog, IDC_PORT_ID, "42");
        text = ControlText(dialog, IDC_PORT_ID);
        SetControlChecked(dialog, IDC_ATTACHED, true);
        EXPECT_TRUE(IsControlChecked(dialog, IDC_ATTACHED));
        PressButton(dialog, IDOK);
    });
    driver.OnMessageBox(IDNO);
    EXPECT_EQ(IDOK, RunDialog(PlainProc));
    EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ("42", text);
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    const MessageBoxRecord& box = driver.MessageBoxes()[0];
    EXPECT_EQ("Question", box.caption);
    EXPECT_EQ("Go on?", box.text);
    EXPECT_EQ("question", box.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
    EXPECT_TRUE(box.expected);
    EXPECT_EQ(0u, driver.PendingSteps());
}

TEST(DialogDriver, UnexpectedMessageBoxIsClosedAndReported)
{
    EXPECT_NONFATAL_FAILURE(
        {
            DialogDriver driver;
            MessageBoxA(nullptr, "surprise", "Nobody asked", MB_OKCANCEL);
            EXPECT_EQ(1u, driver.MessageBoxes().size());
            EXPECT_FALSE(driver.MessageBoxes()[0].expected);
        },
        "unexpected message box \"Nobody asked\": \"surprise\"");
}

TEST(DialogDriver, UnexpectedDialogIsCancelledAndReported)
{
    EXPECT_NONFATAL_FAILURE(
        {
            DialogDriver driver;
            EXPECT_EQ(IDCANCEL, RunDialog(PlainProc));
        },
        "unexpected dialog \"Virtual Port Properties\"");
}

TEST(DialogDriver, StepNeverReachedIsReported)
{
    EXPECT_NONFATAL_FAILURE(
        {
            DialogDriver driver;
            driver.OnDialog("Never Shown", nullptr);
        },
        "step never reached: dialog \"Never Shown\"");
}

// A step that leaves its dialog open, in a dialog that ignores Cancel:
// the safety timer cancels first and then ends the dialog outright.
TEST(DialogDriver, SafetyTimerEndsADialogLeftOpen)
{
    DWORD start = GetTickCount();
    EXPECT_NONFATAL_FAILURE(
        {
            DialogDriver driver(200);
            driver.OnDialog(VirtualCaption, nullptr);
            EXPECT_EQ(IDCANCEL, RunDialog(StubbornProc));
        },
        "timed out with \"Virtual Port Properties\" open");
    EXPECT_LT(GetTickCount() - start, 5000u);
}

TEST(DialogDriver, FlushEventsDispatchesPostedMessages)
{
    static int delivered = 0;
    struct Receiver {
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        {
            if (message == WM_APP)
                ++delivered;
            return DefWindowProcA(window, message, wParam, lParam);
        }
    };
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Receiver::Proc;
    windowClass.lpszClassName = "DialogDriverTestReceiver";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("DialogDriverTestReceiver", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_APP, 0, 0);
    PostMessageA(window, WM_APP, 0, 0);
    flush_events();
    EXPECT_EQ(2, delivered);
    DestroyWindow(window);
}
