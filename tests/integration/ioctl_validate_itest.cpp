// Control code 3 of the built DLL checks the stored table, with unowned
// messages as no Port Table dialog is open, and passes the answer back.
#include <gtest/gtest.h>

#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

const std::string Duplicate = "At least two entries contain duplicated values. If you click OK, duplicated entry "
                              "will be ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Incomplete = "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta "
                               "Protocol to run. Do you want to save anyway?";

// Stores entries virtual ports (none: no table), all with port number 5, and
// loads the DLL afresh, whose attach step reads them; both undone at the end.
class IoctlValidate : public testing::Test {
protected:
    void TearDown() override
    {
        FreeLibrary(module);
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    }
    BOOL(WINAPI* Load(int entries))(DWORD, void*)
    {
        FreeLibrary(module);
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        if (entries > 0)
            SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", DWORD(entries));
        for (int i = 0; i < entries; ++i) {
            const std::pair<const char*, DWORD> values[] = {
                {"Type", 1}, {"Protocol", 0}, {"Port", 5}, {"Connected", 1}, {"Dnet", DWORD(10 + i)}};
            for (const auto& value : values)
                SetDword(HKEY_LOCAL_MACHINE, EntryPath(i), value.first, value.second);
        }
        module = LoadLibraryA("tolmarin.dll");
        EXPECT_NE(nullptr, module) << "LoadLibrary error " << GetLastError();
        return reinterpret_cast<BOOL(WINAPI*)(DWORD, void*)>(
            reinterpret_cast<void*>(GetProcAddress(module, "OrvantaPropertiesIoctl")));
    }
    HMODULE module = nullptr;
};

}  // namespace

TEST_F(IoctlValidate, AnswersDecideTheResult)
{
    struct Case {
        int entries;
        std::vector<int> answers;
        BOOL result;
        std::vector<std::string> texts;
    } const cases[] = {{2, {IDOK, IDOK}, 1, {Duplicate, Incomplete}},
                       {2, {IDOK, IDCANCEL}, 0, {Duplicate, Incomplete}},
                       {2, {IDCANCEL}, 0, {Duplicate}},
                       {0, {IDOK}, 1, {Incomplete}}};  // no table: the count rule alone
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries, " << c.answers.size() << " answers");
        auto ioctl = Load(c.entries);
        ASSERT_NE(nullptr, ioctl);
        DialogDriver driver;
        for (int answer : c.answers)
            driver.OnMessageBox(answer);
        EXPECT_EQ(c.result, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ(c.texts, driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes()) {
            EXPECT_EQ("Orvanta Message", box.caption);
            EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONEXCLAMATION), box.style);
            EXPECT_EQ(nullptr, box.owner);
        }
    }
}
