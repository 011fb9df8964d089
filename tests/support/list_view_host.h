// A stand-in for the Port Table dialog in tests: an invisible top-level
// window holding a report-mode list view with control id 200, one text
// column and the rows the test asks for.
#pragma once
#include <windows.h>

#include <vector>

class ListViewHost {
public:
    explicit ListViewHost(int rows = 0);
    ~ListViewHost();
    ListViewHost(const ListViewHost&) = delete;
    ListViewHost& operator=(const ListViewHost&) = delete;

    HWND Window() const { return window; }
    HWND List() const { return list; }

    // Adds rows until the list holds rows rows (each labelled by its index).
    void SetRowCount(int rows);
    // Selects exactly the given rows, with the list view's own calls.
    void Select(const std::vector<int>& rows);
    // The selected rows in order, from the list view's own state.
    std::vector<int> SelectedRows() const;

private:
    HWND window;
    HWND list;
};
