// A stand-in for the Port Table dialog: a hidden window with a report list view IDC_PORT_LIST of empty rows.
#pragma once
#include <windows.h>

#include <commctrl.h>

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
    HWND window, list;
};
