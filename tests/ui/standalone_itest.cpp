// The Port Table dialog shown by itself, through DisplayPropertiesDlg and the rundll32 entry: OK
// validates and saves, Cancel keeps the edits in memory unsaved, and the rundll32 entry tells the
// top-level windows how it ended.
#include <tuple>

#include "ui/embedded_dialog.h"

namespace {
const char Title[] = "Tessaline Orvanta Gateway  Port Table";
typedef BOOL(WINAPI* DisplayFunction)(void*, void*, const char**);
typedef void(WINAPI* RunDll32Function)(HWND, HINSTANCE, LPSTR, int);
}  // namespace

// The dialog removes the second of an Ethernet and a virtual port (the Ethernet port alone passes the
// check silently), then closes with the case's button; its command line (null: DisplayPropertiesDlg)
// names the owner. Then the result (DisplayPropertiesDlg's text or the
// broadcast's wParam), whether the owner is the test's window, the ports stored, and after a save.
TEST(StandaloneDialog, OkSavesAndCancelKeepsTheEditsInMemory)
{
    HWND catcher = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, 0, 0, 0, 0);
    UINT closed = RegisterWindowMessageA(TOLMARIN_DIALOG_CLOSED_MESSAGE);
    std::string handle = std::to_string(INT_PTR(catcher)), padded = " \t+" + handle + "x";
    const std::tuple<const char*, int, const char*> cases[] = {
        {nullptr, IDOK, "1 - 1, 1,"},        {nullptr, IDCANCEL, "0 - 1,2, 1,"},
        {handle.c_str(), IDOK, "0 o 1, 1,"}, {padded.c_str(), IDCANCEL, "1 o 1,2, 1,"},
        {"-5", IDCANCEL, "1 - 1,2, 1,"},  // names no window: no owner
    };
    for (auto [commandLine, button, expected] : cases) {
        StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}});
        LoadedDll dll;
        DialogDriver driver;
        HWND owner = HWND(-1);
        driver.OnDialog(Title, [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            ListView_SetItemState(GetDlgItem(dialog, IDC_PORT_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageA(dialog, WM_COMMAND, IDC_REMOVE_PORT, 0);
            PressButton(dialog, button);
        });
        std::string result;
        if (commandLine) {
            std::string line = commandLine;
            dll.Get<RunDll32Function>("OrvantaPropertiesThroughRunDll32")(nullptr, nullptr, &line[0], 0);
            MSG message = {};
            result = PeekMessageA(&message, catcher, closed, closed, PM_REMOVE)
                         ? std::to_string(message.wParam)
                         : "?";
        } else {
            const char* text = nullptr;
            dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, &text);
            result = text ? text : "(null)";
        }
        result += std::string(owner == catcher ? " o " : owner ? " ? " : " - ") + Stored("Port");
        dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(expected, result + " " + Stored("Port")) << (commandLine ? commandLine : "");
    }
    DestroyWindow(catcher);
}

// Cancel on a validation message keeps the dialog open; a null result pointer gets nothing written.
TEST(StandaloneDialog, CancelledValidationKeepsTheDialogOpen)
{
    StoreVirtualPorts(2);
    LoadedDll dll;
    DialogDriver driver;
    driver.OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDOK); })
        .OnMessageBox(IDCANCEL)
        .OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(TRUE, dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, nullptr));
    EXPECT_EQ("1,2,", Stored("Port"));
}
