// The Port Table dialog shown by itself, through DisplayPropertiesDlg and the
// rundll32 entry: OK validates and saves, Cancel keeps the edits in memory
// unsaved, and the rundll32 entry tells the top-level windows how it ended.
#include "ui/embedded_dialog.h"

namespace {

const char Title[] = "Tessaline Orvanta Gateway  Port Table";
typedef BOOL(WINAPI* DisplayFunction)(void*, void*, const char**);
typedef void(WINAPI* RunDll32Function)(HWND, HINSTANCE, LPSTR, int);

}  // namespace

// The dialog removes the second of an Ethernet and a virtual port (the
// Ethernet port alone passes the check silently), then closes with button.
TEST(StandaloneDialog, OkSavesAndCancelKeepsTheEditsInMemory)
{
    // A top-level window of the test's own, to receive the broadcast.
    HWND catcher = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 99, 99, 0, 0, 0, 0);
    UINT closed = RegisterWindowMessageA(TOLMARIN_DIALOG_CLOSED_MESSAGE);
    std::string handle = std::to_string(INT_PTR(catcher)), padded = " \t+" + handle + "x";
    const struct {
        const char* commandLine;  // null: DisplayPropertiesDlg
        int button;
        HWND owner;
        const char* result;  // DisplayPropertiesDlg's text, or the broadcast's wParam
        Texts stored;
    } cases[] = {
        {nullptr, IDOK, nullptr, "1", {"1"}},
        {nullptr, IDCANCEL, nullptr, "0", {"1", "2"}},
        {handle.c_str(), IDOK, catcher, "0", {"1"}},
        {padded.c_str(), IDCANCEL, catcher, "1", {"1", "2"}},
        {"", IDOK, nullptr, "0", {"1"}},
        {"-5", IDCANCEL, nullptr, "1", {"1", "2"}},  // names no window: no owner
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine ? std::string("rundll32 \"") + c.commandLine + '"'
                                   : "DisplayPropertiesDlg");
        StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}});
        LoadedDll dll;
        DialogDriver driver;
        HWND owner = HWND(-1);
        driver.OnDialog(Title, [&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            ListView_SetItemState(GetDlgItem(dialog, IDC_PORT_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageA(dialog, WM_COMMAND, IDC_REMOVE_PORT, 0);
            PressButton(dialog, c.button);
        });
        std::string result;
        if (c.commandLine) {
            std::string line = c.commandLine;
            dll.Get<RunDll32Function>("OrvantaPropertiesThroughRunDll32")(nullptr, nullptr, &line[0], 0);
            MSG message = {};
            EXPECT_TRUE(PeekMessageA(&message, catcher, closed, closed, PM_REMOVE));
            result = std::to_string(message.wParam);
        } else {
            const char* text = nullptr;
            EXPECT_EQ(TRUE, dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, &text));
            result = text ? text : "(null)";
        }
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.owner, owner);
        EXPECT_EQ(c.stored, Stored("Port"));
        dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(Texts{"1"}, Stored("Port")) << "the removal was not kept in memory";
    }
    DestroyWindow(catcher);
}

// Cancel on a validation message keeps the dialog open; a null result
// pointer gets nothing written through it.
TEST(StandaloneDialog, CancelledValidationKeepsTheDialogOpen)
{
    StoreVirtualPorts(2);
    LoadedDll dll;
    DialogDriver driver;
    driver.OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDOK); })
        .OnMessageBox(IDCANCEL)
        .OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(TRUE, dll.Get<DisplayFunction>("DisplayPropertiesDlg")(nullptr, nullptr, nullptr));
    EXPECT_EQ(1u, driver.MessageTexts().size());
    EXPECT_EQ((Texts{"1", "2"}), Stored("Port"));
}
