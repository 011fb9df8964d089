// A stand-in for the Port Table dialog: a hidden window with a report list view IDC_PORT_LIST of empty rows.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "resource.h"

struct ListViewHost {
    explicit ListViewHost(int rows = 6)
    {
        InitCommonControls();
        window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 380, 280,
                               window, HMENU(IDC_PORT_LIST), nullptr, nullptr);
        for (LVITEMA item = {}; item.iItem < rows; ++item.iItem)
            SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item));
    }
    ~ListViewHost() { DestroyWindow(window); }
    void Select(const std::vector<int>& rows)
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int row : rows)
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    std::vector<int> SelectedRows() const
    {
        std::vector<int> rows;
        for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;)
            rows.push_back(row);
        return rows;
    }
    HWND window, list;
};
