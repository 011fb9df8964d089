// The sample host's window code, linked into this test with the DLL's import
// library as a host program builds it, driven through its buttons.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "host_window.h"
#include "resource.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

namespace {

// One attached virtual port stored; the host discards to read it.
void StoreOnePort()
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(1);
    StoreEntry(0, {{"Type", 1}, {"Port", 1}, {"Dnet", 1}, {"Connected", 1}});
}

int Rows(HWND host) { return ListView_GetItemCount(GetDlgItem(HostPortTable(host), IDC_PORT_LIST)); }

}  // namespace

// Each step presses a button of the dialog or of the host and answers the
// message boxes; then the indicator, the rows shown and the stored count.
TEST(SampleHost, ButtonsDriveTheControlCodes)
{
    const char Question[] =
        "Orvanta Protocol Properties have changed. Do you want to restart the Orvanta now?";
    const struct {
        bool host;  // the host's button, else the embedded dialog's
        int button;
        std::vector<int> answers;
        const char* asked;  // the start of the first message box's text
        const char* indicator;
        int rows, stored;
    } steps[] = {
        {true, IDC_HOST_DISCARD, {}, "", "No unsaved changes", 1, 1},
        {false, IDC_REMOVE_PORT, {}, "", "Unsaved changes", 0, 1},
        {true, IDC_HOST_DISCARD, {}, "", "No unsaved changes", 1, 1},
        {false, IDC_REMOVE_PORT, {}, "", "Unsaved changes", 0, 1},
        {true, IDC_HOST_APPLY, {IDCANCEL}, "At least one non-virtual", "Unsaved changes", 0, 1},
        {true, IDC_HOST_RESTART, {IDNO}, Question, "Unsaved changes", 0, 1},
        {true, IDC_HOST_APPLY, {IDOK}, "At least one non-virtual", "No unsaved changes", 0, 0},
    };
    StoreOnePort();
    HWND host = CreateHostWindow(GetModuleHandleA(nullptr), SW_SHOW);
    ASSERT_NE(nullptr, host);
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "button " << s.button);
        // A driver only where a message box is expected.
        std::unique_ptr<DialogDriver> driver(s.answers.empty() ? nullptr : new DialogDriver);
        for (int answer : s.answers)
            driver->OnMessageBox(answer);
        SendDlgItemMessageA(s.host ? host : HostPortTable(host), s.button, BM_CLICK, 0, 0);
        flush_events();
        std::string first = driver && !driver->MessageTexts().empty() ? driver->MessageTexts()[0] : "";
        EXPECT_EQ(s.asked, first.substr(0, strlen(s.asked)));
        EXPECT_EQ(s.indicator, ControlText(host, IDC_HOST_CHANGED));
        EXPECT_EQ(s.rows, Rows(host));
        EXPECT_EQ(DWORD(s.stored), GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    }
    DestroyWindow(host);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
