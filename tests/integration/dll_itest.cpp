// The built DLL, loaded the way the Windows Sockets framework and host
// programs load it, driven through its exports and the real registry.
#include <gtest/gtest.h>

#include "support/change_recorder.h"
#include "support/debug_output.h"
#include "support/entry_values.h"
#include "support/loaded_dll.h"
#include "support/platform.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

namespace {

class Dll : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
    void TearDown() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }

    static void StoreVirtual(int position, DWORD port, DWORD network, DWORD connected)
    {
        StoreEntry(
            position,
            {{"Type", 1}, {"Protocol", 0}, {"Port", port}, {"Connected", connected}, {"Dnet", network}});
    }
};

}  // namespace

TEST(DllPlatform, LoadsAndExportsUndecoratedNames)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
    EXPECT_EQ(nullptr, GetProcAddress(dll.Module(), "OrvantaPropertiesIoctl@8"));
}

// Run by the program's copy under Windows 3.1 (Win32s) emulation.
TEST(Unsupported, PlatformRefusesTheAttach)
{
    if (ExpectedPlatform() != TestPlatform::Unsupported)
        GTEST_SKIP() << "runs under win31 emulation only";
    ASSERT_EQ(TestPlatform::Unsupported, RunningPlatform()) << "version emulation did not apply";
    DebugOutput debug;
    LoadedDll dll;
    EXPECT_EQ(nullptr, dll.Module());
    EXPECT_EQ(DWORD(ERROR_DLL_INIT_FAILED), dll.Error());
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: Unsupported Windows platform. Cannot run.\n"},
              debug.Lines())
        << "and no clean-up after a refused attach";
}

TEST_F(Dll, SaveAndReloadKeepTheStoredTableByteForByte)
{
    StoreEntryCount(3);
    StoreVirtual(0, 1, 100, 1);
    StoreVirtual(1, 2, 65534, 0);
    StoreVirtual(2, 255, 7, 1);
    EntryValues before = ReadValues(HKEY_LOCAL_MACHINE, TablePath, true);
    LoadedDll dll;
    LoadedDll::IoctlFunction ioctl = dll.Ioctl();
    ASSERT_NE(nullptr, ioctl);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(before, ReadValues(HKEY_LOCAL_MACHINE, TablePath, true));

    // The table in memory was loaded at attach: a save overwrites a stored
    // change made after it, a reload picks it up.
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(before, ReadValues(HKEY_LOCAL_MACHINE, TablePath, true));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_RELOAD, nullptr));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(9u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port"));
}

TEST_F(Dll, ControlCodesNotifyRefuseAndIgnore)
{
    LoadedDll dll;
    LoadedDll::IoctlFunction ioctl = dll.Ioctl();
    ASSERT_NE(nullptr, ioctl);
    TolmarinChangeCallback callback = RecordChange;
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback));
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_RELOAD, nullptr));
    EXPECT_EQ(2, Changes.calls);
    EXPECT_EQ(0, Changes.changed) << "saved or reloaded: no unsaved changes";
    EXPECT_EQ(nullptr, Changes.window) << "no Port Table dialog is open";
    TolmarinChangeCallback none = nullptr;
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &none));
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(2, Changes.calls) << "a null callback turns notification off";

    // Missing pointer arguments are refused; codes above 6 do nothing.
    EXPECT_EQ(0, ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, nullptr));
    EXPECT_EQ(0, ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, nullptr));
    EXPECT_EQ(0, ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, nullptr));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    for (DWORD code : {7u, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_EQ(0, ioctl(code, nullptr)) << code;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, TablePath)) << "nothing saved";
}
