// The rows, columns and images of a report list view, one Win32 call each,
// for the Port Table dialog's list of entries.
#pragma once
#include <windows.h>

#include <commctrl.h>

class ListViewRows {
public:
    explicit ListViewRows(HWND window) : window(window) {}

    HWND Window() const { return window; }
    int Count() const { return int(Send(LVM_GETITEMCOUNT, 0, 0)); }

    void InsertColumn(int index, const char* header, int width) const
    {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width;
        column.pszText = const_cast<char*>(header);
        column.iSubItem = index;
        Send(LVM_INSERTCOLUMNA, WPARAM(index), LPARAM(&column));
    }
    // Inserts an empty row with image at index; the index it got, or -1.
    int InsertRow(int index, int image, bool selected) const
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
        item.iItem = index;
        item.pszText = const_cast<char*>("");
        item.iImage = image;
        item.state = selected ? LVIS_SELECTED : 0;
        item.stateMask = LVIS_SELECTED;
        return int(Send(LVM_INSERTITEMA, 0, LPARAM(&item)));
    }
    void SetText(int row, int column, const char* text) const
    {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = const_cast<char*>(text);
        Send(LVM_SETITEMTEXTA, WPARAM(row), LPARAM(&item));
    }
    void SetImage(int row, int image) const
    {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = image;
        Send(LVM_SETITEMA, 0, LPARAM(&item));
    }
    void DeleteRow(int row) const { Send(LVM_DELETEITEM, WPARAM(row), 0); }
    void DeleteAllRows() const { Send(LVM_DELETEALLITEMS, 0, 0); }
    // Room for count rows before the list grows.
    void SetCountHint(int count) const { Send(LVM_SETITEMCOUNT, WPARAM(count), 0); }
    void AddExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
    // The list destroys the image list with itself.
    void SetSmallImages(HIMAGELIST images) const { Send(LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images)); }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendMessageA(window, message, wParam, lParam);
    }

    HWND window;
};
