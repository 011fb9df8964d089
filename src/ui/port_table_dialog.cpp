#include "ui/port_table_dialog.h"

#include <stdio.h>
#include <string.h>

#include <memory>
#include <new>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/bip_port.h"
#include "ports/kinds/com20020_port.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/kinds/ptp_port.h"
#include "ports/kinds/ohttp_ptp_port.h"
#include "ports/port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"
#include "ports/validation.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "stack/stack_names.h"
#include "ui/add_button.h"
#include "ui/list_view_rows.h"

namespace {

// The list's columns, each showing one of the port's text operations.
struct Column {
    const char* header;
    int width;
    const char* (Port::*text)() const;
};
const Column Columns[] = {
    {"Port ID", 60, &Port::GetPortIdText},       {"Attached", 70, &Port::GetAttachedText},
    {"Network Num", 95, &Port::GetNetworkText},  {"Type", 100, &Port::GetTypeName},
    {"Protocol", 90, &Port::GetProtocolName},    {"NIC", 110, &Port::GetNicText},
    {"Sec. Info", 300, &Port::GetSecondaryInfo},
};

// Image list order: a usable port shows the image of its GetType code, any
// other entry the problem image.
const int RowIcons[] = {IDI_PORT_PHYSICAL, IDI_PORT_VIRTUAL, IDI_PORT_PTP, IDI_PORT_PROBLEM};
const int ProblemImage = 3;

// The kinds the Add commands add, each built with its default constructor.
template <class Kind>
Port* CreateDefault()
{
    return new (std::nothrow) Kind();
}
struct AddableKind {
    int command;
    Port* (*create)();
};
const AddableKind AddableKinds[] = {
    {IDM_ADD_VIRTUAL, CreateDefault<VirtualPort>}, {IDM_ADD_ETHERNET, CreateDefault<PhysicalPort>},
    {IDM_ADD_BIP, CreateDefault<BipPort>},         {IDM_ADD_COM20020, CreateDefault<Com20020Port>},
    {IDM_ADD_PTP, CreateDefault<PtpPort>},         {IDM_ADD_OHTTP_PTP, CreateDefault<OhttpPtpPort>},
};

const int VersionCapacity = 12;      // "v%lu.%lu": 11 characters and the terminator
const int TitleFormatCapacity = 40;  // string IDS_PORT_TABLE_TITLE
const int TitleCapacity = 52;
const DWORD MissingVersion = 0xFFFFFFFF;

// Resources come from the module; a program that links the code itself
// (ModuleInstance null) holds them in its own image.
HINSTANCE ResourceModule() { return ModuleInstance ? ModuleInstance : GetModuleHandleA(nullptr); }

ListViewRows Rows(HWND dialog) { return ListViewRows(GetDlgItem(dialog, IDC_PORT_LIST)); }

int EntryCount() { return PortTable.count < MaxPortTableEntries ? PortTable.count : MaxPortTableEntries; }

int RowImage(const Port* port, int status)
{
    if (status != EntryValidAttached || !port)
        return ProblemImage;
    int type = port->GetType();
    return type >= PortTypePhysical && type <= PortTypePointToPoint ? type : ProblemImage;
}

void SetRowTexts(const ListViewRows& rows, int row, const Port& port)
{
    for (int column = 0; column < int(sizeof(Columns) / sizeof(Columns[0])); ++column)
        rows.SetText(row, column, (port.*Columns[column].text)());
}

// Sets the texts of every row from row `from` to the last.
void RefreshTexts(HWND dialog, int from)
{
    ListViewRows rows = Rows(dialog);
    int row = 0;
    for (PortTableNode* node = PortTable.head; node && row < rows.Count(); node = node->next, ++row)
        if (row >= from && node->port)
            SetRowTexts(rows, row, *node->port);
}

// Sets the images of every row from row `from` to the last: a change at one
// position can change the duplicate status of every later entry. The
// statuses come from one pass over the table.
void RefreshImages(HWND dialog, int from)
{
    ListViewRows rows = Rows(dialog);
    BYTE statuses[MaxPortTableEntries];
    int count = ComputeEntryStatuses(statuses, rows.Count() < EntryCount() ? rows.Count() : EntryCount());
    int row = 0;
    for (PortTableNode* node = PortTable.head; node && row < count; node = node->next, ++row)
        if (row >= from)
            rows.SetImage(row, RowImage(node->port, statuses[row]));
}

void SetButtonStates(HWND dialog)
{
    int count = PortTable.count;
    DialogItem(dialog, IDC_ADD_PORT).Enable(count < MaxPortTableEntries);
    DialogItem(dialog, IDC_EDIT_PORT).Enable(count >= 1);
    DialogItem(dialog, IDC_REMOVE_PORT).Enable(count >= 1);
    DialogItem(dialog, IDC_PORT_UP).Enable(count >= 2);
    DialogItem(dialog, IDC_PORT_DOWN).Enable(count >= 2);
}

// The selected row when it names an entry, else -1.
int SelectedEntry(HWND dialog)
{
    int row = GetSelectedListItem(GetDlgItem(dialog, IDC_PORT_LIST));
    return row >= 0 && row < PortTable.count ? row : -1;
}

// ---------------------------------------------------------------------------
// Initialisation

// The image list of the row icons, or null when one of them is missing.
HIMAGELIST CreateRowImages()
{
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 0);
    if (!images)
        return nullptr;
    for (int id : RowIcons) {
        HICON icon = HICON(LoadImageA(ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        if (!icon) {
            ImageList_Destroy(images);
            return nullptr;
        }
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    }
    return images;
}

// One row per entry, in table order, with its status image; row 0 selected.
void FillRows(const ListViewRows& rows)
{
    int count = EntryCount();
    int hint = count * 3 / 2;
    rows.SetCountHint(hint == 0 ? 10 : hint > MaxPortTableEntries ? MaxPortTableEntries : hint);

    BYTE statuses[MaxPortTableEntries];
    count = ComputeEntryStatuses(statuses, count);
    // Drawn once when filled: a list redrawn at each of 255 rows keeps a
    // full table's dialog busy for seconds.
    SendMessageA(rows.Window(), WM_SETREDRAW, FALSE, 0);
    int row = 0;
    for (PortTableNode* node = PortTable.head; node && row < count; node = node->next, ++row) {
        rows.InsertRow(row, RowImage(node->port, statuses[row]), false);
        if (node->port)
            SetRowTexts(rows, row, *node->port);
    }
    SendMessageA(rows.Window(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(rows.Window(), nullptr, TRUE);
    if (count > 0)
        ListView(rows.Window()).SetSelected(0, true);
}

void FillList(const ListViewRows& rows)
{
    if (HIMAGELIST images = CreateRowImages())
        rows.SetSmallImages(images);
    for (int column = 0; column < int(sizeof(Columns) / sizeof(Columns[0])); ++column)
        rows.InsertColumn(column, Columns[column].header, Columns[column].width);
    FillRows(rows);
}

// "v<major>.<minor>" from the stack's version key; empty when either value
// is missing, or when the text would not fit its 11 characters (a cut
// number would look like a real version).
void FormatVersionText(char (&text)[VersionCapacity])
{
    text[0] = '\0';
    RegReadKey key(HKEY_LOCAL_MACHINE, STACK_VERSION_KEY_PATH);
    DWORD major, minor;
    key.ReadDword(STACK_MAJOR_VERSION_VALUE, major, MissingVersion);
    key.ReadDword(STACK_MINOR_VERSION_VALUE, minor, MissingVersion);
    if (major == MissingVersion || minor == MissingVersion)
        return;
    char full[32];
    int length = snprintf(full, sizeof(full), "v%lu.%lu", major, minor);
    if (length < 0 || length >= VersionCapacity) {
        OutputDebugStringA("TOLMARIN: stack version too long for the dialog title; shown without it.\n");
        return;
    }
    memcpy(text, full, size_t(length) + 1);
}

void SetTitle(HWND dialog)
{
    char format[TitleFormatCapacity];
    if (LoadStringA(ResourceModule(), IDS_PORT_TABLE_TITLE, format, TitleFormatCapacity) <= 0)
        return;
    char version[VersionCapacity];
    FormatVersionText(version);
    char title[TitleCapacity];
    snprintf(title, sizeof(title), format, version);
    title[TitleCapacity - 1] = '\0';
    SetWindowTextA(dialog, title);
}

void Initialise(HWND dialog)
{
    PortTableDialog = dialog;
    int show = IsStandalone ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog, IDOK), show);
    ShowWindow(GetDlgItem(dialog, IDCANCEL), show);
    ListViewRows rows = Rows(dialog);
    if (!rows.Window()) {
        EndDialog(dialog, -1);
    } else {
        FillList(rows);
        rows.AddExtendedStyle(LVS_EX_FULLROWSELECT);
        SetTitle(dialog);
    }
    SetButtonStates(dialog);
}

// ---------------------------------------------------------------------------
// Commands

void EditSelected(HWND dialog)
{
    int row = SelectedEntry(dialog);
    PortTableNode* node = row < 0 ? nullptr : PortTableNodeAt(row);
    if (!node || !node->port || !node->port->Edit(dialog))
        return;
    SetRowTexts(Rows(dialog), row, *node->port);
    RefreshImages(dialog, row);
    NotifyChanged(1);
}

void AddPort(HWND dialog, Port* (*create)())
{
    if (PortTable.count >= MaxPortTableEntries)
        return;
    std::unique_ptr<Port> port(create());
    if (!port || !port->Edit(dialog) || !AppendPort(port.get()))
        return;
    Port* added = port.release();
    ListViewRows rows = Rows(dialog);
    int row = rows.Count();
    BYTE statuses[MaxPortTableEntries];
    int count = ComputeEntryStatuses(statuses, row < MaxPortTableEntries ? row + 1 : MaxPortTableEntries);
    rows.InsertRow(row, RowImage(added, row < count ? int(statuses[row]) : int(EntryInvalid)), row == 0);
    RefreshTexts(dialog, row);
    SetButtonStates(dialog);
    NotifyChanged(1);
}

void RemoveSelected(HWND dialog)
{
    int row = SelectedEntry(dialog);
    PortTableNode* node = row < 0 ? nullptr : PortTableNodeAt(row);
    if (!node)
        return;
    ListViewRows rows = Rows(dialog);
    int count = rows.Count();
    std::unique_ptr<Port> removed(node->port);
    RemovePortTableNode(node);
    removed.reset();
    rows.DeleteRow(row);
    RefreshTexts(dialog, row);
    if (row != count - 1)
        RefreshImages(dialog, row);
    else
        --row;
    SelectListItem(rows.Window(), row);
    SetButtonStates(dialog);
    NotifyChanged(1);
}

// Moves the selected entry by one place (-1 up, +1 down); the selection
// follows it.
void MoveSelected(HWND dialog, int step)
{
    int row = SelectedEntry(dialog);
    int other = row + step;
    if (row < 0 || other < 0 || other >= Rows(dialog).Count())
        return;
    if (!SwapPortTableEntries(row, other))
        return;
    SelectListItem(GetDlgItem(dialog, IDC_PORT_LIST), other);
    int from = row < other ? row : other;
    RefreshTexts(dialog, from);
    RefreshImages(dialog, from);
    SetButtonStates(dialog);
    NotifyChanged(1);
}

// OK: standalone, validate and save, then end the dialog with 1.
INT_PTR OnOk(HWND dialog)
{
    if (!IsStandalone || !ValidatePortTable(dialog))
        return FALSE;
    SavePortTable();
    EndDialog(dialog, IDOK);
    return TRUE;
}

INT_PTR OnCancel(HWND dialog)
{
    if (!IsStandalone)
        return FALSE;
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        return OnOk(dialog);
    case IDCANCEL:
        return OnCancel(dialog);
    case IDC_EDIT_PORT:
        EditSelected(dialog);
        return TRUE;
    case IDC_REMOVE_PORT:
        RemoveSelected(dialog);
        return TRUE;
    case IDC_PORT_UP:
        MoveSelected(dialog, -1);
        return TRUE;
    case IDC_PORT_DOWN:
        MoveSelected(dialog, +1);
        return TRUE;
    case IDC_ADD_PORT:
        // The Add button's own click (a keyboard mnemonic sends one after
        // the menu has closed): the menu has already done the work.
        return TRUE;
    }
    if (id >= IDM_ADD_PTP && id <= IDM_ADD_OHTTP_PTP) {
        for (const AddableKind& kind : AddableKinds)
            if (kind.command == id)
                AddPort(dialog, kind.create);
        return TRUE;
    }
    EndDialog(dialog, id);
    return TRUE;
}

bool IsEditNotification(const NMHDR* header)
{
    return header && header->idFrom == IDC_PORT_LIST &&
           (header->code == UINT(NM_DBLCLK) || header->code == UINT(NM_RETURN));
}

}  // namespace

INT_PTR CALLBACK PortTableDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY:
        if (!IsEditNotification(reinterpret_cast<const NMHDR*>(lParam)))
            return FALSE;
        EditSelected(dialog);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_ADD_PORT)
            return FALSE;
        DrawAddButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        // A host may destroy the embedded dialog and keep using the control
        // codes: their messages and callbacks must not name a dead window.
        if (PortTableDialog == dialog)
            PortTableDialog = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void ShowReloadedPortTable()
{
    if (!PortTableDialog)
        return;
    ListViewRows rows = Rows(PortTableDialog);
    rows.DeleteAllRows();
    FillRows(rows);
    SetButtonStates(PortTableDialog);
}

INT_PTR RunPortTableDialog(HWND owner)
{
    return DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_PORT_TABLE), owner, PortTableDialogProc, 0);
}
