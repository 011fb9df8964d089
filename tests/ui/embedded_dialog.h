// The Port Table dialog as a host embeds it: tolmarin.dll loaded afresh (so it reads the table stored
// beforehand), template and procedure from control codes 0 and 1, the change callback set with code 2.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/dialog_driver.h"
#include "support/loaded_dll.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"

// Stores the Port Table, each entry as {Type, Port, Dnet, Connected} and protocol 0.
inline void StoreTable(const std::vector<std::vector<DWORD>>& ports)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(DWORD(ports.size()));
    const char* const names[] = {"Type", "Port", "Dnet", "Connected", "Protocol"};
    for (int i = 0; i < int(ports.size()); ++i)
        for (int v = 0; v < 5; ++v)
            SetDword(HKEY_LOCAL_MACHINE, EntryPath(i), names[v], v < 4 ? ports[i][v] : 0);
}
// count attached virtual ports numbered 1, 2, ...
inline void StoreVirtualPorts(int count)
{
    std::vector<std::vector<DWORD>> ports;
    for (DWORD i = 1; i <= DWORD(count); ++i)
        ports.push_back({1, i, i, 1});
    StoreTable(ports);
}
// One value of every stored entry: "1,2,".
inline std::string Stored(const char* name)
{
    std::string values;
    for (int i = 0; i < int(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0)); ++i)
        values += std::to_string(GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), name)) + ",";
    return values;
}

// The host's change callback: records the calls it receives.
struct RecordedChanges {
    int calls;
    HWND window;
    int changed;
};
inline RecordedChanges Changes;
inline void WINAPI RecordChange(HWND window, BYTE changed) { Changes = {Changes.calls + 1, window, changed}; }

struct EmbeddedDialog {
    EmbeddedDialog()
    {
        const DLGTEMPLATE* dialogTemplate = nullptr;
        TolmarinChangeCallback callback = RecordChange;
        auto ioctl = dll.Ioctl();
        if (!ioctl || !ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) ||
            !ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &proc) ||
            !ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback))
            ADD_FAILURE() << "no dialog from the DLL; load error " << dll.Error();
        host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, 0, 0, 0, 0);
        dialog = CreateDialogIndirectParamA(dll.Module(), dialogTemplate, host, proc, 0);
        list = GetDlgItem(dialog, IDC_PORT_LIST);
        Changes = {};
    }
    ~EmbeddedDialog() { DestroyWindow(host); }

    std::string Text(int row, int column) const
    {
        char text[128] = "";
        ListView_GetItemText(list, row, column, text, sizeof(text));
        return text;
    }
    // Each row's network and image (p physical, v virtual, x problem), the selected row, and Edit, Add,
    // Remove, Up and Down as "EARUD" with '-' for a disabled one: "10v 11x |0|EARUD".
    std::string State() const
    {
        std::string state;
        LVITEMA item = {};
        for (item.mask = LVIF_IMAGE; item.iItem < ListView_GetItemCount(list); ++item.iItem)
            state +=
                Text(item.iItem, 2) + (ListView_GetItem(list, &item) ? "pvtx"[item.iImage & 3] : '?') + ' ';
        state += "|" + std::to_string(ListView_GetNextItem(list, -1, LVNI_SELECTED)) + "|";
        for (int id = IDC_EDIT_PORT; id <= IDC_PORT_DOWN; ++id)
            state += IsWindowEnabled(GetDlgItem(dialog, id)) ? "EARUD"[id - IDC_EDIT_PORT] : '-';
        return state;
    }
    // Selects row alone; -1 selects none.
    void Select(int row) const
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, row >= 0 ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    void Command(int id) const { SendMessageA(dialog, WM_COMMAND, id, 0); }

    LoadedDll dll;
    DLGPROC proc = nullptr;
    HWND host = nullptr, dialog = nullptr, list = nullptr;
};

// Leaves no table behind for the other test programs of the prefix.
struct TableCleanup : testing::Environment {
    void TearDown() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
};
inline testing::Environment* const tableCleanup = testing::AddGlobalTestEnvironment(new TableCleanup);
