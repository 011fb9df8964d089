// The Port Table dialog as a host embeds it: tolmarin.dll loaded afresh (so
// it reads the table stored beforehand), the template and procedure from
// control codes 0 and 1, the change callback registered with code 2, and the
// dialog created inside a window of the test's own.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/change_recorder.h"
#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

// Stores the table: one entry per row of {Type, Port, Dnet, Connected}.
struct StoredPort {
    DWORD type, port, network, connected;
};
inline void StoreTable(const std::vector<StoredPort>& ports)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(DWORD(ports.size()));
    for (size_t i = 0; i < ports.size(); ++i) {
        const StoredPort& p = ports[i];
        StoreEntry(int(i),
                   {{"Type", p.type}, {"Port", p.port}, {"Dnet", p.network}, {"Connected", p.connected}});
    }
}
// count attached virtual ports, numbered 1, 2, ... (port and network alike).
inline void StoreVirtualPorts(int count)
{
    std::vector<StoredPort> ports;
    for (int i = 1; i <= count; ++i)
        ports.push_back({1, DWORD(i), DWORD(i), 1});
    StoreTable(ports);
}

class EmbeddedDialog {
public:
    EmbeddedDialog()
    {
        const DLGTEMPLATE* dialogTemplate = nullptr;
        DLGPROC procedure = nullptr;
        TolmarinChangeCallback callback = RecordChange;
        auto ioctl = dll.Ioctl();
        if (!ioctl || !ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) ||
            !ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &procedure) ||
            !ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback)) {
            ADD_FAILURE() << "the DLL hands out no dialog; load error " << dll.Error();
            return;
        }
        proc = procedure;
        host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                               nullptr, nullptr);
        dialog = CreateDialogIndirectParamA(dll.Module(), dialogTemplate, host, procedure, 0);
        EXPECT_NE(nullptr, dialog);
        Changes = {};
    }
    ~EmbeddedDialog()
    {
        DestroyWindow(dialog);
        DestroyWindow(host);
    }

    HWND List() const { return GetDlgItem(dialog, IDC_PORT_LIST); }
    int Rows() const { return ListView_GetItemCount(List()); }
    std::string Text(int row, int column) const
    {
        char text[128] = "";
        ListView_GetItemText(List(), row, column, text, sizeof(text));
        return text;
    }
    std::vector<std::string> RowTexts(int row) const
    {
        std::vector<std::string> texts;
        for (int column = 0; column < 7; ++column)
            texts.push_back(Text(row, column));
        return texts;
    }
    // Column 0 (the port number) of every row.
    std::vector<std::string> PortIds() const
    {
        std::vector<std::string> ids;
        for (int row = 0; row < Rows(); ++row)
            ids.push_back(Text(row, 0));
        return ids;
    }
    std::vector<int> Images() const
    {
        std::vector<int> images;
        for (int row = 0; row < Rows(); ++row) {
            LVITEMA item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ListView_GetItem(List(), &item);
            images.push_back(item.iImage);
        }
        return images;
    }
    // Selected rows, in order.
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        for (int row = -1; (row = ListView_GetNextItem(List(), row, LVNI_SELECTED)) >= 0;)
            rows.push_back(row);
        return rows;
    }
    void Select(int row) const
    {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
    }
    // Enabled state of Edit, Add, Remove, Up and Down, as "EARUD" with '-'
    // for a disabled button.
    std::string ButtonStates() const
    {
        std::string states;
        const char letters[] = "EARUD";
        for (int id = IDC_EDIT_PORT; id <= IDC_PORT_DOWN; ++id)
            states += IsWindowEnabled(GetDlgItem(dialog, id)) ? letters[id - IDC_EDIT_PORT] : '-';
        return states;
    }
    LRESULT Command(int id) const { return SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // The port numbers of the table as the DLL saves it (control code 4).
    std::vector<std::string> SavedPortIds() const
    {
        dll.Ioctl()(TOLMARIN_IOCTL_SAVE, nullptr);
        std::vector<std::string> ids;
        DWORD count = GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries");
        for (int i = 0; i < int(count); ++i)
            ids.push_back(std::to_string(GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), "Port")));
        return ids;
    }

    LoadedDll dll;
    DLGPROC proc = nullptr;
    HWND host = nullptr, dialog = nullptr;
};
