// Control code 3 of the built DLL checks the stored table, with unowned
// messages as no Port Table dialog is open, and passes the answer back.
#include <gtest/gtest.h>

#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

// Stores count virtual ports, all with port number 5.
void StoreVirtualPorts(int count)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(DWORD(count));
    for (int i = 0; i < count; ++i)
        StoreEntry(i, {{"Type", 1}, {"Port", 5}, {"Dnet", DWORD(10 + i)}});
}

}  // namespace

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
        StoreVirtualPorts(c.entries);
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
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
