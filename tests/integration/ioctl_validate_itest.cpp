// Control code 3 of the built DLL checks the stored table, with unowned
// messages as no Port Table dialog is open, and passes the answer back.
#include <gtest/gtest.h>

#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

const std::string Duplicate =
    "At least two entries contain duplicated values. If you click OK, duplicated entry will be ignored, "
    "and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Incomplete =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta Protocol to run. "
    "Do you want to save anyway?";

// Stores count virtual ports, all with port number 5.
void StoreVirtualPorts(int count)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    if (count == 0)
        return;
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
        std::vector<int> answers;
        BOOL result;
        std::vector<std::string> texts;
    } cases[] = {
        {2, {IDOK, IDOK}, 1, {Duplicate, Incomplete}},
        {2, {IDOK, IDCANCEL}, 0, {Duplicate, Incomplete}},
        {2, {IDCANCEL}, 0, {Duplicate}},
        {0, {IDOK}, 1, {Incomplete}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries, " << c.answers.size() << " answers");
        StoreVirtualPorts(c.entries);
        LoadedDll dll;
        ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
        DialogDriver driver;
        for (int answer : c.answers)
            driver.OnMessageBox(answer);
        EXPECT_EQ(c.result, dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ(c.texts, driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes()) {
            EXPECT_EQ("Orvanta Message", box.caption);
            EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONEXCLAMATION), box.style);
            EXPECT_EQ(nullptr, box.owner);
        }
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
