#include "support/list_view_host.h"

#include <commctrl.h>
#include <stdio.h>

namespace {

const int ListId = 200;

void EnsureCommonControls()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace

ListViewHost::ListViewHost(int rows)
{
    EnsureCommonControls();
    window = CreateWindowExA(0, "STATIC", "List view host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                             nullptr, nullptr, nullptr, nullptr);
    list = CreateWindowExA(0, WC_LISTVIEWA, "",
                           WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 380, 280,
                           window, reinterpret_cast<HMENU>(ListId), nullptr, nullptr);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<char*>("Row");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SetRowCount(rows);
}

ListViewHost::~ListViewHost()
{
    if (window)
        DestroyWindow(window);
}

void ListViewHost::SetRowCount(int rows)
{
    for (int row = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); row < rows; ++row) {
        char label[16];
        snprintf(label, sizeof(label), "%d", row);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = label;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void ListViewHost::Select(const std::vector<int>& rows)
{
    int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        bool selected = false;
        for (int r : rows)
            selected = selected || r == row;
        ListView_SetItemState(list, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

std::vector<int> ListViewHost::SelectedRows() const
{
    std::vector<int> rows;
    int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (SendMessageA(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) & LVIS_SELECTED)
            rows.push_back(row);
    return rows;
}
