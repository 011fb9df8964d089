// Control code 3 of the built DLL checks the stored table, with unowned
// messages as no Port Table dialog is open, and passes the answer back.
#include <gtest/gtest.h>

#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

const std::string Duplicate =
    "At least two entries contain duplicated values. If you click OK, duplicated entry "
    "will be ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string Incomplete =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta "
    "Protocol to run. Do you want to save anyway?";

}  // namespace

// Each case stores entries virtual ports, all with port number 5 (none: no
// table), loads the DLL afresh to read them, and answers the messages.
TEST(IoctlValidate, AnswersDecideTheResult)
{
    const struct {
        int entries;
        std::vector<int> answers;
        BOOL result;
        std::vector<std::string> texts;
    } cases[] = {{2, {IDOK, IDOK}, 1, {Duplicate, Incomplete}},
                 {2, {IDOK, IDCANCEL}, 0, {Duplicate, Incomplete}},
                 {2, {IDCANCEL}, 0, {Duplicate}},
                 {0, {IDOK}, 1, {Incomplete}}};
    struct Cleanup {
        ~Cleanup() { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
    } cleanup;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries, " << c.answers.size() << " answers");
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
        if (c.entries > 0)
            SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", DWORD(c.entries));
        for (int i = 0; i < c.entries; ++i)
            for (const auto& value : std::vector<std::pair<const char*, DWORD>>{
                     {"Type", 1}, {"Protocol", 0}, {"Port", 5}, {"Connected", 1}, {"Dnet", DWORD(10 + i)}})
                SetDword(HKEY_LOCAL_MACHINE, EntryPath(i), value.first, value.second);
        HMODULE module = LoadLibraryA("tolmarin.dll");
        ASSERT_NE(nullptr, module) << "LoadLibrary error " << GetLastError();
        auto ioctl = reinterpret_cast<BOOL(WINAPI*)(DWORD, void*)>(
            reinterpret_cast<void*>(GetProcAddress(module, "OrvantaPropertiesIoctl")));
        DialogDriver driver;
        for (int answer : c.answers)
            driver.OnMessageBox(answer);
        EXPECT_EQ(c.result, ioctl ? ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr) : -1);
        EXPECT_EQ(c.texts, driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            EXPECT_TRUE(box.caption == "Orvanta Message" && box.style == (MB_OKCANCEL | MB_ICONEXCLAMATION) &&
                        !box.owner);
        FreeLibrary(module);
    }
}
