// Control code 3 of the built DLL checks the stored table, with unowned
// messages as no Port Table dialog is open, and passes the answer back.
#include "ui/embedded_dialog.h"

// Each case loads the DLL afresh to read its table and answers the messages.
TEST(IoctlValidate, AnswersDecideTheResult)
{
    const struct {
        int entries;
        std::vector<int> answers;  // duplicates asked first, then the missing kinds
        BOOL result;
    } cases[] = {{2, {IDOK, IDOK}, 1}, {2, {IDOK, IDCANCEL}, 0}, {0, {IDOK}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries, " << c.answers.size() << " answers");
        StoreTable(std::vector<StoredPort>(c.entries, {1, 5, 10, 1}));  // duplicates by port number
        LoadedDll dll;
        ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
        DialogDriver driver;
        for (int answer : c.answers)
            driver.OnMessageBox(answer);
        EXPECT_EQ(c.result, dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ(c.answers.size(), driver.MessageTexts().size());
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            EXPECT_EQ(nullptr, box.owner);
    }
}

// A host that destroyed its embedded dialog still gets the messages, unowned.
TEST(IoctlValidate, DestroyedDialogOwnsNoMessage)
{
    StoreTable(std::vector<StoredPort>(2, {1, 5, 10, 1}));
    EmbeddedDialog d;
    DestroyWindow(d.dialog);
    DialogDriver driver;
    driver.OnMessageBox(IDOK).OnMessageBox(IDOK);
    EXPECT_EQ(1, d.dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
    ASSERT_EQ(2u, driver.MessageBoxes().size());
    EXPECT_EQ(nullptr, driver.MessageBoxes()[0].owner);
}
