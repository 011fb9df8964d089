// The driver's own failure paths: a faulty test fails in moments, never hangs.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "resource.h"
#include "support/dialog_driver.h"

// A step's dialog left open, an unexpected dialog and message box, and a step
// never reached are reported; a dialog active again after its own message box
// is no new dialog; every box is recorded and answered.
TEST(DialogDriver, ReportsWhatGoesWrongAndNeverHangs)
{
    testing::TestPartResultArray results;
    std::vector<MessageBoxRecord> boxes;
    DWORD start = GetTickCount();
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        VirtualPort unset;  // OK shows a message box
        DialogDriver driver(200);
        driver.OnMessageBox(IDNO)
            .OnDialog("Virtual Port Properties", [](HWND dialog) { PressButton(dialog, IDOK); })
            .OnMessageBox(IDOK)
            .OnDialog("Never Shown", nullptr);
        EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Go on?", "Question", MB_YESNO | MB_ICONQUESTION));
        for (int i = 0; i < 2; ++i)
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_VIRTUAL_PORT), nullptr, PortDialogProc,
                            LPARAM(&unset));
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
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("Question", boxes[0].caption);
    EXPECT_EQ("Go on?", boxes[0].text);
    EXPECT_EQ(nullptr, boxes[0].owner);
    EXPECT_EQ((std::vector<UINT>{MB_YESNO | MB_ICONQUESTION, MB_ICONHAND, MB_OKCANCEL}),
              (std::vector<UINT>{boxes[0].style, boxes[1].style, boxes[2].style}));
}
