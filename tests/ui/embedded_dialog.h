// The Port Table dialog as a host embeds it: tolmarin.dll loaded afresh (so
// it reads the table stored beforehand), template and procedure from control
// codes 0 and 1, the change callback registered with code 2, the dialog
// created inside a window of the test's own.
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

using Texts = std::vector<std::string>;

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
// count attached virtual ports numbered 1, 2, ...
inline void StoreVirtualPorts(int count)
{
    std::vector<StoredPort> ports;
    for (DWORD i = 1; i <= DWORD(count); ++i)
        ports.push_back({1, i, i, 1});
    StoreTable(ports);
}
// One value of every stored entry, as text.
inline std::vector<std::string> Stored(const char* name)
{
    std::vector<std::string> values;
    for (int i = 0; i < int(GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0)); ++i)
        values.push_back(std::to_string(GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), name)));
    return values;
}

struct EmbeddedDialog {
    EmbeddedDialog()
    {
        const DLGTEMPLATE* dialogTemplate = nullptr;
        TolmarinChangeCallback callback = RecordChange;
        auto ioctl = dll.Ioctl();
        if (!ioctl || !ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) ||
            !ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &proc) ||
            !ioctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, &callback)) {
            ADD_FAILURE() << "no dialog from the DLL; load error " << dll.Error();
            return;
        }
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
    Texts Row(int row) const
    {
        Texts texts;
        for (int column = 0; column < 7; ++column)
            texts.push_back(Text(row, column));
        return texts;
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < ListView_GetItemCount(list); ++row)
            texts.push_back(Text(row, column));
        return texts;
    }
    std::vector<int> Images() const
    {
        std::vector<int> images;
        LVITEMA item = {};
        for (item.mask = LVIF_IMAGE; item.iItem < ListView_GetItemCount(list); ++item.iItem)
            images.push_back(ListView_GetItem(list, &item) ? item.iImage : -1);
        return images;
    }
    int Selected() const { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
    // Selects row alone; -1 selects none.
    void Select(int row) const
    {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, row >= 0 ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    // Edit, Add, Remove, Up and Down as "EARUD", '-' for a disabled one.
    std::string ButtonStates() const
    {
        std::string states = "EARUD";
        for (int id = IDC_EDIT_PORT; id <= IDC_PORT_DOWN; ++id)
            if (!IsWindowEnabled(GetDlgItem(dialog, id)))
                states[id - IDC_EDIT_PORT] = '-';
        return states;
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
