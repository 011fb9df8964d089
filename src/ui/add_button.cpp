#include "ui/add_button.h"

#include "lifecycle/module.h"
#include "resource.h"

namespace {

// True exactly while the menu is open; drawing requests are ignored then.
bool menuShowing = false;

// The menu of port kinds, in its order; Windows 95/98 offers ARCNET on its
// own, the NT family reaches it (and MS/TP) through the data-link driver.
struct KindItem {
    UINT command;
    const char* text;
    bool onWin9x, onNt;
};
const KindItem KindItems[] = {
    {IDM_ADD_PTP, "Point-To-Point", true, true}, {IDM_ADD_VIRTUAL, "Virtual", true, true},
    {IDM_ADD_BIP, "BACnet/IP", true, true},      {IDM_ADD_COM20020, "ARCNET", true, false},
    {IDM_ADD_ETHERNET, "Ethernet", true, false}, {IDM_ADD_ETHERNET, "Ethernet/ARCNET/MSTP", false, true},
};

const int TextCapacity = 20;  // the button's text is drawn cut to 19 characters

void Inset(RECT& rect) { InflateRect(&rect, -1, -1); }

// Lines and fills are pattern copies with the brush selected.
void Fill(HDC dc, int colour, int left, int top, int width, int height)
{
    SelectObject(dc, GetSysColorBrush(colour));
    PatBlt(dc, left, top, width, height, PATCOPY);
}

void FillRect(HDC dc, int colour, const RECT& rect)
{
    Fill(dc, colour, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void DrawLabel(HDC dc, HWND button, RECT rect)
{
    char text[TextCapacity] = "";
    GetWindowTextA(button, text, TextCapacity);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawRaised(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    if (item.itemState & ODS_DEFAULT) {
        FrameRect(dc, &rect, GetSysColorBrush(COLOR_3DDKSHADOW));
        Inset(rect);
    }
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    Fill(dc, COLOR_3DHILIGHT, rect.left, rect.top, width, 1);
    Fill(dc, COLOR_3DHILIGHT, rect.left, rect.top, 1, height);
    Fill(dc, COLOR_3DDKSHADOW, rect.right - 1, rect.top, 1, height);
    Fill(dc, COLOR_3DDKSHADOW, rect.left, rect.bottom - 1, width, 1);
    Inset(rect);
    FillRect(dc, COLOR_3DFACE, rect);
    width = rect.right - rect.left, height = rect.bottom - rect.top;
    Fill(dc, COLOR_3DSHADOW, rect.right - 1, rect.top, 1, height);
    Fill(dc, COLOR_3DSHADOW, rect.left, rect.bottom - 1, width, 1);
    Inset(rect);
    DrawLabel(dc, item.hwndItem, rect);
    if (item.itemState & ODS_FOCUS) {
        Inset(rect);
        DrawFocusRect(dc, &rect);
    }
}

void DrawPressed(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_3DDKSHADOW));
    Inset(rect);
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_3DSHADOW));
    Inset(rect);
    FillRect(dc, COLOR_3DFACE, rect);
    OffsetRect(&rect, 1, 1);
    DrawLabel(dc, item.hwndItem, rect);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = {rect.left + 1, rect.top + 1, rect.right - 3, rect.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
}

// The focus rectangle toggles: drawing it again removes it.
void DrawFocusOnly(const DRAWITEMSTRUCT& item)
{
    RECT rect = item.rcItem;
    InflateRect(&rect, -3, -3);
    DrawFocusRect(item.hDC, &rect);
}

// Opens the menu upward from the button's top left corner and posts the
// chosen command, if any, to the button's parent.
void RunKindMenu(HWND button)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (const KindItem& kind : KindItems)
        if (IsWin9x ? kind.onWin9x : kind.onNt)
            AppendMenuA(menu, MF_STRING, kind.command, kind.text);
    RECT rect;
    GetWindowRect(button, &rect);
    UINT flags = TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
    int chosen = int(TrackPopupMenu(menu, flags, rect.left, rect.top, 0, button, nullptr));
    DestroyMenu(menu);
    if (chosen)
        PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(chosen, 0), LPARAM(button));
}

}  // namespace

void DrawAddButton(const DRAWITEMSTRUCT* item)
{
    if (!item || menuShowing)
        return;
    int saved = SaveDC(item->hDC);
    if (item->itemAction == ODA_FOCUS) {
        DrawFocusOnly(*item);
    } else if (!(item->itemState & ODS_SELECTED)) {
        DrawRaised(*item);
    } else {
        DrawPressed(*item);
        menuShowing = true;
        RunKindMenu(item->hwndItem);
        menuShowing = false;
        InvalidateRect(item->hwndItem, nullptr, FALSE);
    }
    RestoreDC(item->hDC, saved);
}
