// The built DLL, loaded the way the Windows Sockets framework and host programs load it, driven through
// its exports and the real registry.
#include "support/debug_output.h"
#include "support/entry_values.h"
#include "support/platform.h"
#include "ui/embedded_dialog.h"

TEST(DllPlatform, LoadsAndExportsUndecoratedNames)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    LoadedDll dll;
    ASSERT_NE(nullptr, dll.Ioctl()) << "LoadLibrary error " << dll.Error();
    EXPECT_EQ(nullptr, GetProcAddress(dll.Module(), "OrvantaPropertiesIoctl@8"));
}

// Run by the program's copy under Windows 3.1 (Win32s) emulation: the attach is refused, with one line.
TEST(Unsupported, PlatformRefusesTheAttach)
{
    if (ExpectedPlatform() != TestPlatform::Unsupported)
        GTEST_SKIP() << "runs under win31 emulation only";
    DebugOutput debug;
    LoadedDll dll;
    EXPECT_EQ(DWORD(ERROR_DLL_INIT_FAILED), dll.Error());
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: Unsupported Windows platform. Cannot run.\n"},
              debug.Lines());
}

// The table in memory is loaded at attach and saved byte for byte: a save overwrites a stored change
// made after it, a reload picks it up. Save and reload tell the callback there is nothing unsaved.
TEST(Dll, SaveReloadAndControlCodes)
{
    StoreTable({{1, 1, 100, 1}, {1, 2, 65534, 0}});
    EntryValues before = ReadValues(HKEY_LOCAL_MACHINE, TablePath, true);
    LoadedDll dll;
    auto ioctl = dll.Ioctl();
    TolmarinChangeCallback callback = RecordChange;
    Changes = {};
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ(before, ReadValues(HKEY_LOCAL_MACHINE, TablePath, true));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 9);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_RELOAD, nullptr));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    EXPECT_EQ(1, ioctl(TOLMARIN_IOCTL_SAVE, nullptr));
    EXPECT_EQ("9,2,", Stored("Port"));
    EXPECT_EQ("3 0 0", std::to_string(Changes.calls) + " " + std::to_string(Changes.changed) + " " +
                           std::to_string(INT_PTR(Changes.window)));
    // Missing pointer arguments are refused; codes above 6 do nothing.
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    for (DWORD code : {0u, 1u, 2u, 7u, 0xFFFFFFFFu})
        EXPECT_EQ(0, ioctl(code, nullptr)) << code;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, TablePath)) << "nothing saved";
}

// Control code 3 checks the stored table (two ports numbered 5) with unowned messages, also after a host
// destroyed its embedded dialog, and passes the last answer back.
TEST(Dll, ValidateAnswersDecideTheResult)
{
    for (int answer : {IDOK, IDCANCEL}) {
        StoreTable({{1, 5, 10, 1}, {1, 5, 10, 1}});
        EmbeddedDialog d;
        DestroyWindow(d.dialog);
        DialogDriver driver;
        driver.OnMessageBox(IDOK).OnMessageBox(answer);
        EXPECT_EQ(answer == IDOK, d.dll.Ioctl()(TOLMARIN_IOCTL_VALIDATE, nullptr));
        for (const MessageBoxRecord& box : driver.MessageBoxes())
            EXPECT_EQ(nullptr, box.owner);
    }
}
