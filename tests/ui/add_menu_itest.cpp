// The Add button of the embedded Port Table dialog: its drawing, and the menu of port kinds, read while
// it is open on each emulated platform.
#include "support/platform.h"
#include "ui/embedded_dialog.h"

namespace {

// A 60 x 20 bitmap, black at first, on which the dialog draws the button.
struct Canvas {
    Canvas() { PatBlt(dc, 0, 0, 60, 20, BLACKNESS); }
    ~Canvas() { DeleteObject(SelectObject(dc, old)), DeleteDC(dc), ReleaseDC(nullptr, screen); }
    void Draw(const EmbeddedDialog& d, UINT state)
    {
        DRAWITEMSTRUCT item = {
            ODT_BUTTON, IDC_ADD_PORT,   0, ODA_DRAWENTIRE, state, GetDlgItem(d.dialog, IDC_ADD_PORT),
            dc,         {0, 0, 60, 20}, 0};
        d.proc(d.dialog, WM_DRAWITEM, IDC_ADD_PORT, LPARAM(&item));
    }
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, 60, 20));
};

// What the probe saw while the menu was open: its items "id text;", and a pixel of the button drawn
// meanwhile. It chooses the last item (Enter) or none.
struct {
    const EmbeddedDialog* dialog;
    bool choose;
    std::string items;
    COLORREF drawn;
} Probe;

// Runs inside the menu's own message loop.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    HMENU menu = window ? HMENU(SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu || !IsWindowVisible(window))
        return;
    KillTimer(nullptr, timer);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
        Probe.items += std::to_string(GetMenuItemID(menu, i)) + " " + text + ";";
    }
    Canvas canvas;
    canvas.Draw(*Probe.dialog, 0);
    Probe.drawn = GetPixel(canvas.dc, 0, 0);
    if (!Probe.choose)
        return void(EndMenu());
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
}

// Presses the Add button as the mouse does: the menu opens while the button draws itself pressed.
void OpenMenu(const EmbeddedDialog& d, bool choose)
{
    Probe = {&d, choose, "", 0};
    UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadOpenMenu);
    SendMessageA(GetDlgItem(d.dialog, IDC_ADD_PORT), BM_SETSTATE, TRUE, 0);
    SendMessageA(GetDlgItem(d.dialog, IDC_ADD_PORT), BM_SETSTATE, FALSE, 0);
    KillTimer(nullptr, timer);
}

}  // namespace

// Closing without a choice posts nothing; a choice (the last item) is posted to the dialog, to run once
// the drawing has returned. The default button drawn raised: a dark frame, highlight at top left and
// dark shadow at bottom right, the shadow inside them.
TEST(AddMenuPlatform, OffersThePlatformsKindsAndPostsTheChoice)
{
    StoreVirtualPorts(0);
    EmbeddedDialog d;
    OpenMenu(d, false);
    EXPECT_EQ(ExpectedPlatform() == TestPlatform::Win9x
                  ? "220 Point-To-Point;221 Virtual;222 BACnet/IP;224 ARCNET;223 Ethernet;"
                  : "220 Point-To-Point;221 Virtual;222 BACnet/IP;223 Ethernet/ARCNET/MSTP;",
              Probe.items);
    EXPECT_EQ(RGB(0, 0, 0), Probe.drawn) << "drawn while the menu was open";
    MSG posted = {};
    EXPECT_FALSE(PeekMessageA(&posted, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    OpenMenu(d, true);
    ASSERT_TRUE(PeekMessageA(&posted, d.dialog, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ((std::vector<INT_PTR>{IDM_ADD_ETHERNET, INT_PTR(GetDlgItem(d.dialog, IDC_ADD_PORT))}),
              (std::vector<INT_PTR>{INT_PTR(posted.wParam), posted.lParam}));
    Canvas canvas;
    canvas.Draw(d, ODS_DEFAULT);
    std::vector<COLORREF> expected, drawn;
    for (auto p : {std::vector<int>{0, 0, COLOR_3DDKSHADOW},
                   {1, 1, COLOR_3DHILIGHT},
                   {58, 18, COLOR_3DDKSHADOW},
                   {57, 17, COLOR_3DSHADOW},
                   {4, 10, COLOR_3DFACE}})
        expected.push_back(GetSysColor(p[2])), drawn.push_back(GetPixel(canvas.dc, p[0], p[1]));
    EXPECT_EQ(expected, drawn);
}
