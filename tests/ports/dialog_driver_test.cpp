// The driver's own failure paths: a faulty test fails instead of hanging.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "resource.h"
#include "support/dialog_driver.h"

namespace {

int timerCalls = 0;

// Ignores Cancel: only OK ends it.
INT_PTR CALLBACK Stubborn(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(dialog, IDOK);
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

void CALLBACK CountOnce(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ++timerCalls;
}

}  // namespace

// A step left open in a dialog that ignores Cancel, an unexpected dialog and
// message box, and a step never reached: each is reported, and all is over in
// moments; every box is recorded.
TEST(DialogDriver, ReportsWhatGoesWrongAndNeverHangs)
{
    testing::TestPartResultArray results;
    std::vector<MessageBoxRecord> boxes;
    DWORD start = GetTickCount();
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        DialogDriver driver(200);
        driver.OnMessageBox(IDNO).OnDialog("Virtual Port Properties", nullptr).OnDialog("Never Shown", nullptr);
        MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION);
        for (int i = 0; i < 2; ++i)
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr, Stubborn, 0);
        MessageBoxA(nullptr, "surprise", "Nobody asked", MB_OKCANCEL);
        boxes = driver.MessageBoxes();
    }
    EXPECT_LT(GetTickCount() - start, 5000u);
    const char* expected[] = {"timed out with \"Virtual Port Properties\" open",
                              "unexpected dialog \"Virtual Port Properties\"",
                              "unexpected message box \"Nobody asked\": \"surprise\"",
                              "step never reached: dialog \"Never Shown\""};
    ASSERT_EQ(4, results.size());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::string("Failed\n") + expected[i], results.GetTestPartResult(i).message());
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Question", boxes[0].caption);
    EXPECT_EQ("Go on?", boxes[0].text);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), boxes[0].style);
    EXPECT_TRUE(boxes[0].expected);
    EXPECT_EQ(UINT(MB_OKCANCEL), boxes[1].style);
    EXPECT_FALSE(boxes[1].expected);
}

TEST(DialogDriver, FlushEventsDispatchesWhatArrivesMeanwhile)
{
    SetTimer(nullptr, 0, 10, CountOnce);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
    flush_events();
    EXPECT_EQ(1, timerCalls);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}
