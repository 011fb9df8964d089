// The Port Table dialog shown by itself, through DisplayPropertiesDlg and
// through the rundll32 entry: OK validates and saves, Cancel keeps the
// edits in memory without saving, and the rundll32 entry tells every
// top-level window how the dialog ended.
#include "ui/embedded_dialog.h"

namespace {

const std::string Title = "Tessaline Orvanta Gateway  Port Table";
const std::string Incomplete =
    "At least one non-virtual and one non-Point-To-Point port must be set up for Orvanta Protocol to run. "
    "Do you want to save anyway?";

typedef BOOL(WINAPI* DisplayFunction)(void*, void*, const char**);
typedef void(WINAPI* RunDll32Function)(HWND, HINSTANCE, LPSTR, int);

// A top-level window of the test's own that records the broadcast.
struct BroadcastCatcher {
    BroadcastCatcher()
    {
        WNDCLASSA type = {};
        type.lpfnWndProc = Proc;
        type.lpszClassName = "TolmarinBroadcastCatcher";
        RegisterClassA(&type);
        window = CreateWindowExA(0, type.lpszClassName, "catcher", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        received.clear();
    }
    ~BroadcastCatcher() { DestroyWindow(window); }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == RegisterWindowMessageA(TOLMARIN_DIALOG_CLOSED_MESSAGE))
            received.push_back(int(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static inline std::vector<int> received;
    HWND window;
};

// Stores an Ethernet port and a virtual port; removes the virtual port in
// the dialog, then presses button. The Ethernet port alone passes the check.
void RemoveSecondAndPress(DialogDriver& driver, int button, HWND* owner = nullptr)
{
    driver.OnDialog(Title, [=](HWND dialog) {
        if (owner)
            *owner = GetWindow(dialog, GW_OWNER);
        ListView_SetItemState(GetDlgItem(dialog, IDC_PORT_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageA(dialog, WM_COMMAND, IDC_REMOVE_PORT, 0);
        PressButton(dialog, button);
    });
}

std::vector<DWORD> StoredPortNumbers()
{
    std::vector<DWORD> ports;
    for (int i = 0; i < int(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries")); ++i)
        ports.push_back(GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), "Port"));
    return ports;
}

}  // namespace

TEST(StandaloneDialog, DisplayPropertiesDlgSavesOnOkOnly)
{
    const struct {
        int button;
        BOOL result;
        const char* text;
        std::vector<DWORD> stored;
    } cases[] = {
        {IDOK, TRUE, "1", {1}},
        {IDCANCEL, TRUE, "0", {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button);
        StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}});
        LoadedDll dll;
        auto display = dll.Get<DisplayFunction>("DisplayPropertiesDlg");
        ASSERT_NE(nullptr, display);
        DialogDriver driver;
        RemoveSecondAndPress(driver, c.button);
        const char* text = nullptr;
        EXPECT_EQ(c.result, display(nullptr, nullptr, &text));
        ASSERT_NE(nullptr, text);
        EXPECT_STREQ(c.text, text);
        EXPECT_EQ(c.stored, StoredPortNumbers());
        EXPECT_EQ(std::vector<std::string>{}, driver.MessageTexts());
        // Cancel left the removal in memory: a save now stores it.
        dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        EXPECT_EQ(std::vector<DWORD>{1}, StoredPortNumbers());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// Cancel on a validation message keeps the dialog open; a null result
// pointer gets nothing written through it.
TEST(StandaloneDialog, CancelledValidationKeepsTheDialogOpen)
{
    StoreVirtualPorts(2);
    LoadedDll dll;
    auto display = dll.Get<DisplayFunction>("DisplayPropertiesDlg");
    ASSERT_NE(nullptr, display);
    DialogDriver driver;
    driver.OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDOK); })
        .OnMessageBox(IDCANCEL)
        .OnDialog(Title, [](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(TRUE, display(nullptr, nullptr, nullptr));
    EXPECT_EQ(std::vector<std::string>{Incomplete}, driver.MessageTexts());
    EXPECT_EQ((std::vector<DWORD>{1, 2}), StoredPortNumbers());
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// The owner comes from the command line when it names a window; the dialog
// shows without one otherwise. wParam of the broadcast: 0 after OK.
TEST(StandaloneDialog, RunDll32EntryTakesItsOwnerAndBroadcastsTheEnd)
{
    BroadcastCatcher catcher;
    std::string handle = std::to_string(INT_PTR(catcher.window));
    const struct {
        std::string commandLine;
        int button;
        HWND owner;
        int broadcast;
        std::vector<DWORD> stored;
    } cases[] = {
        {handle, IDOK, catcher.window, 0, {1}},
        {" \t+" + handle + "xyz", IDCANCEL, catcher.window, 1, {1, 2}},
        {"", IDOK, nullptr, 0, {1}},
        {"abc", IDCANCEL, nullptr, 1, {1, 2}},
        {"-5", IDCANCEL, nullptr, 1, {1, 2}},
        {"99999999999999999999999", IDOK, nullptr, 0, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("command line \"" + c.commandLine + "\"");
        StoreTable({{0, 1, 100, 1}, {1, 2, 200, 1}});
        LoadedDll dll;
        auto entry = dll.Get<RunDll32Function>("OrvantaPropertiesThroughRunDll32");
        ASSERT_NE(nullptr, entry);
        DialogDriver driver;
        HWND owner = HWND(-1);
        RemoveSecondAndPress(driver, c.button, &owner);
        BroadcastCatcher::received.clear();
        std::vector<char> line(c.commandLine.begin(), c.commandLine.end());
        line.push_back('\0');
        entry(nullptr, nullptr, line.data(), SW_SHOWNORMAL);
        flush_events();
        EXPECT_EQ(c.owner, owner);
        EXPECT_EQ(std::vector<int>{c.broadcast}, BroadcastCatcher::received);
        EXPECT_EQ(c.stored, StoredPortNumbers());
    }
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
