// A stand-in for the Port Table dialog: a hidden window holding a report list
// view IDC_PORT_LIST, whose selection it sets and reads with its own calls.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "resource.h"

class ListViewHost {
public:
    explicit ListViewHost(int rows = 0)
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 280,
                               window, HMENU(IDC_PORT_LIST), nullptr, nullptr);
        SetRowCount(rows);
    }
    ~ListViewHost() { DestroyWindow(window); }
    ListViewHost(const ListViewHost&) = delete;
    ListViewHost& operator=(const ListViewHost&) = delete;

    HWND Window() const { return window; }
    HWND List() const { return list; }
    int Rows() const { return int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    void SetRowCount(int rows)  // adds empty rows up to rows
    {
        LVITEMA item = {};
        for (item.iItem = Rows(); item.iItem < rows; ++item.iItem)
            SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item));
    }
    void Select(const std::vector<int>& rows)
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int row : rows)
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < Rows(); ++row)
            if (SendMessageA(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) & LVIS_SELECTED)
                rows.push_back(row);
        return rows;
    }

private:
    HWND window, list;
};
