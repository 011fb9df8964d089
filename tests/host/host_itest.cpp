// The sample host's window code, linked with the DLL's import library as a host builds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "host_window.h"
#include "resource.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

// A button of the host (true) or dialog, its box's answer: box text, indicator, rows, count (Discard
// reloads).
TEST(SampleHost, ButtonsDriveTheControlCodes)
{
    const std::tuple<bool, int, int, const char*> steps[] = {
        {true, IDC_HOST_DISCARD, 0, "|No unsaved changes|1|1"},
        {false, IDC_REMOVE_PORT, 0, "|Unsaved changes|0|1"},
        {true, IDC_HOST_APPLY, IDCANCEL, "At least one non-virtual|Unsaved changes|0|1"},
        {true, IDC_HOST_RESTART, IDNO, "Orvanta Protocol Properties have changed|Unsaved changes|0|1"},
        {true, IDC_HOST_APPLY, IDOK, "At least one non-virtual|No unsaved changes|0|0"},
    };
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 1}, {"Port", 1}, {"Dnet", 1}, {"Connected", 1}});
    HWND host = CreateHostWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(nullptr, host);
    for (auto [onHost, button, answer, expected] : steps) {
        DialogDriver driver;
        answer ? void(driver.OnMessageBox(answer)) : void();
        SendDlgItemMessageA(onHost ? host : HostPortTable(host), button, BM_CLICK, 0, 0);
        MSG message;  // the host's posted messages
        for (DWORD start = GetTickCount(); GetTickCount() - start < 50; Sleep(5))
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        std::string asked = driver.MessageTexts().empty() ? "" : driver.MessageTexts()[0];
        EXPECT_EQ(expected,
                  asked.substr(0, std::string(expected).find('|')) + "|" +
                      ControlText(host, IDC_HOST_CHANGED) + "|" +
                      std::to_string(ListView_GetItemCount(GetDlgItem(HostPortTable(host), IDC_PORT_LIST))) +
                      "|" + std::to_string(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries")))
            << "button " << button;
    }
    DestroyWindow(host);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
