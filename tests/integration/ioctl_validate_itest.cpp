// Control code 3 of the built DLL: the host asks for the check of the
// stored table while no Port Table dialog is open, so the messages come
// unowned; the user's answers decide the result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

typedef BOOL(WINAPI* IoctlFunction)(DWORD, void*);

using Texts = std::vector<std::string>;

const std::string DuplicateText =
    "At least two entries contain duplicated values. If you click OK, duplicated entry will be "
    "ignored, and Orvanta protocol may not run properly. Do you wish to continue?";
const std::string IncompleteText =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta Protocol "
    "to run. Do you want to save anyway?";

// The stored table is written before the DLL is loaded (its attach step
// reads it) and deleted again afterwards.
class IoctlValidate : public testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    }

    static void StoreVirtual(int position, DWORD port, DWORD network)
    {
        std::string entry = EntryPath(position);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Type", 1);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Protocol", 0);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Port", port);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Connected", 1);
        SetDword(HKEY_LOCAL_MACHINE, entry, "Dnet", network);
    }

    // Two virtual ports with port number 5: the second is a duplicate, and
    // no non-virtual port is left for the count rule.
    static void StoreDuplicatedVirtualPorts()
    {
        SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 2);
        StoreVirtual(0, 5, 10);
        StoreVirtual(1, 5, 20);
    }

    IoctlFunction Load()
    {
        module = LoadLibraryA("tolmarin.dll");
        EXPECT_NE(nullptr, module) << "LoadLibrary error " << GetLastError();
        if (!module)
            return nullptr;
        FARPROC found = GetProcAddress(module, "OrvantaPropertiesIoctl");
        return reinterpret_cast<IoctlFunction>(reinterpret_cast<void*>(found));
    }

    HMODULE module = nullptr;
};

}  // namespace

TEST_F(IoctlValidate, AnswersDecideTheResult)
{
    StoreDuplicatedVirtualPorts();
    IoctlFunction ioctl = Load();
    ASSERT_NE(nullptr, ioctl);
    {
        SCOPED_TRACE("OK to both messages");
        DialogDriver driver;
        driver.OnMessageBox(IDOK).OnMessageBox(IDOK);
        EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ((Texts{DuplicateText, IncompleteText}), driver.MessageTexts());
        for (const MessageBoxRecord& box : driver.MessageBoxes()) {
            EXPECT_EQ("Orvanta Message", box.caption);
            EXPECT_EQ(nullptr, box.owner) << "no Port Table dialog is open";
            EXPECT_EQ("exclamation", box.icon);
        }
    }
    {
        SCOPED_TRACE("Cancel to the count rule");
        DialogDriver driver;
        driver.OnMessageBox(IDOK).OnMessageBox(IDCANCEL);
        EXPECT_EQ(0, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ((Texts{DuplicateText, IncompleteText}), driver.MessageTexts());
    }
    {
        SCOPED_TRACE("Cancel to the duplicate ends the check");
        DialogDriver driver;
        driver.OnMessageBox(IDCANCEL);
        EXPECT_EQ(0, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
        EXPECT_EQ(Texts{DuplicateText}, driver.MessageTexts());
    }
}

TEST_F(IoctlValidate, MissingTableFailsOnlyTheCountRule)
{
    IoctlFunction ioctl = Load();
    ASSERT_NE(nullptr, ioctl);
    DialogDriver driver;
    driver.OnMessageBox(IDOK);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
    EXPECT_EQ(Texts{IncompleteText}, driver.MessageTexts());
}

// The check changes nothing: saving afterwards stores the same entries.
TEST_F(IoctlValidate, CheckLeavesTheTableToBeSavedAsItWas)
{
    StoreDuplicatedVirtualPorts();
    IoctlFunction ioctl = Load();
    ASSERT_NE(nullptr, ioctl);
    {
        DialogDriver driver;
        driver.OnMessageBox(IDOK).OnMessageBox(IDOK);
        EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_VALIDATE, nullptr));
    }
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(2u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(20u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Dnet"));
    EXPECT_EQ(5u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Port"));
}
