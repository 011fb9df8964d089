// The driver's own failure paths: a faulty test fails in moments, never hangs.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "ports/port_dialog.h"
#include "resource.h"
#include "support/dialog_driver.h"

// A step's dialog left open, an unexpected dialog and message box, and a step
// never reached are reported; every box is recorded and answered.
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
        EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION));
        for (int i = 0; i < 2; ++i)
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr, PortDialogProc, 0);
        MessageBoxA(nullptr, "surprise", "Nobody asked", MB_OKCANCEL);
        boxes = driver.MessageBoxes();
    }
    EXPECT_LT(GetTickCount() - start, 5000u);
    std::vector<std::string> reported;
    for (int i = 0; i < results.size(); ++i)
        reported.push_back(results.GetTestPartResult(i).message());
    EXPECT_EQ((std::vector<std::string>{"Failed\ntimed out with \"Virtual Port Properties\" open",
                                        "Failed\nunexpected dialog \"Virtual Port Properties\"",
                                        "Failed\nunexpected message box \"Nobody asked\": \"surprise\"",
                                        "Failed\nstep never reached: \"Never Shown\""}),
              reported);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Question", boxes[0].caption);
    EXPECT_EQ("Go on?", boxes[0].text);
    EXPECT_EQ(nullptr, boxes[0].owner);
    EXPECT_EQ((std::vector<UINT>{MB_YESNO | MB_ICONQUESTION, MB_OKCANCEL}),
              (std::vector<UINT>{boxes[0].style, boxes[1].style}));
}
