// The Add button of the embedded Port Table dialog: its drawing, and the
// menu of port kinds, read while it is open on each emulated platform.
#include "support/platform.h"
#include "ui/embedded_dialog.h"

namespace {

// What the probe saw of the open menu, and what it does with it.
struct MenuProbe {
    std::vector<std::pair<UINT, std::string>> items;
    bool choose = false;  // the last item (Enter), or close without a choice
    bool seen = false;
};
MenuProbe Probe;

// Runs inside the menu's own message loop.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    HMENU menu = window ? HMENU(SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu || !IsWindowVisible(window))
        return;
    KillTimer(nullptr, timer);
    Probe.seen = true;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
        Probe.items.push_back({GetMenuItemID(menu, i), text});
    }
    if (!Probe.choose) {
        EndMenu();
        return;
    }
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
}

// Presses the Add button as the mouse does; the menu opens while it draws
// itself pressed, and is read and closed by the probe.
void OpenMenu(const EmbeddedDialog& d, bool choose)
{
    Probe = {};
    Probe.choose = choose;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadOpenMenu);
    HWND button = GetDlgItem(d.dialog, IDC_ADD_PORT);
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    KillTimer(nullptr, timer);
}

const std::vector<std::pair<UINT, std::string>> NtItems = {
    {220, "Point-To-Point"}, {221, "Virtual"}, {222, "BACnet/IP"}, {223, "Ethernet/ARCNET/MSTP"}};
const std::vector<std::pair<UINT, std::string>> Win9xItems = {
    {220, "Point-To-Point"}, {221, "Virtual"}, {222, "BACnet/IP"}, {224, "ARCNET"}, {223, "Ethernet"}};

}  // namespace

TEST(AddMenuPlatform, OffersThePlatformsKindsAndPostsNothingWithoutAChoice)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    OpenMenu(d, false);
    ASSERT_TRUE(Probe.seen) << "the menu never opened";
    EXPECT_EQ(ExpectedPlatform() == TestPlatform::Win9x ? Win9xItems : NtItems, Probe.items);
    MSG posted;
    EXPECT_FALSE(PeekMessageA(&posted, d.dialog, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&posted, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// The chosen kind comes back as a posted command, run once the drawing has
// returned: here the kind's dialog, cancelled.
TEST(AddMenu, PostsTheChosenCommandToTheDialog)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    OpenMenu(d, true);
    MSG posted = {};
    ASSERT_TRUE(PeekMessageA(&posted, d.dialog, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(WPARAM(IDM_ADD_ETHERNET), posted.wParam);
    EXPECT_EQ(LPARAM(GetDlgItem(d.dialog, IDC_ADD_PORT)), posted.lParam);
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// A keyboard click (the mnemonic Alt+A) opens the menu too; the button's own
// click that follows does not end the dialog.
TEST(AddMenu, ClickLeavesTheDialogOpen)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    Probe = {};
    UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadOpenMenu);
    SendMessageA(GetDlgItem(d.dialog, IDC_ADD_PORT), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
    flush_events();
    EXPECT_TRUE(Probe.seen);
    EXPECT_TRUE(IsWindowVisible(d.dialog));
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}

// The raised drawing, on a bitmap of the test's own: the outer edge
// highlight at top left and dark shadow at bottom right, inside a dark frame
// for the default button; the inner shadow and the face within.
TEST(AddMenu, RaisedButtonDrawing)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    const struct {
        UINT state;
        int topLeft, bottomRight, innerTopLeft, innerBottomRight;
    } cases[] = {
        {0, COLOR_3DHILIGHT, COLOR_3DDKSHADOW, COLOR_3DFACE, COLOR_3DSHADOW},
        {ODS_DEFAULT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DHILIGHT, COLOR_3DDKSHADOW},
    };
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 60, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state);
        PatBlt(dc, 0, 0, 60, 20, BLACKNESS);
        DRAWITEMSTRUCT item = {
            ODT_BUTTON, IDC_ADD_PORT,   0, ODA_DRAWENTIRE, c.state, GetDlgItem(d.dialog, IDC_ADD_PORT),
            dc,         {0, 0, 60, 20}, 0};
        EXPECT_EQ(TRUE, d.proc(d.dialog, WM_DRAWITEM, IDC_ADD_PORT, LPARAM(&item)));
        EXPECT_EQ(GetSysColor(c.topLeft), GetPixel(dc, 0, 0));
        EXPECT_EQ(GetSysColor(c.bottomRight), GetPixel(dc, 59, 19));
        EXPECT_EQ(GetSysColor(c.innerTopLeft), GetPixel(dc, 1, 1));
        EXPECT_EQ(GetSysColor(c.innerBottomRight), GetPixel(dc, 58, 18));
        EXPECT_EQ(GetSysColor(COLOR_3DFACE), GetPixel(dc, 4, 10));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
