// The driver's own failure paths: a faulty test fails instead of hanging.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "resource.h"
#include "support/dialog_driver.h"

namespace {

// Ignores Cancel: only OK ends it.
INT_PTR CALLBACK Stubborn(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(dialog, IDOK);
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

}  // namespace

// A step left open in a dialog that ignores Cancel, an unexpected dialog and
// message box, and a step never reached are all reported, in moments.
TEST(DialogDriver, ReportsWhatGoesWrongAndNeverHangs)
{
    testing::TestPartResultArray results;
    std::vector<MessageBoxRecord> boxes;
    DWORD start = GetTickCount();
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        DialogDriver driver(200);
        driver.OnMessageBox(IDNO)
            .OnDialog("Virtual Port Properties", nullptr)
            .OnDialog("Never Shown", nullptr);
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
    EXPECT_TRUE(boxes[0].text == "Go on?" && boxes[0].style == (MB_YESNO | MB_ICONQUESTION) &&
                boxes[0].expected);
    EXPECT_TRUE(boxes[1].style == MB_OKCANCEL && !boxes[1].expected);
}
