#include "ports/kinds/bip_sheet.h"

#include <commctrl.h>

#include <memory>
#include <new>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/bip_port.h"
#include "ports/port_dialog.h"

namespace {

struct Column {
    const char* title;
    int width;
};
const Column BdtColumns[] = {{"IP Address", 110}, {"UDP Port", 95}, {"Subnet Mask", 110}};
const int ReservedBdtRows = 32;

// What the BBMD check box enables and disables, besides Add and Remove.
const int BbmdControls[] = {IDC_BIP_BDT_GROUP,  IDC_BIP_TWO_HOPS,  IDC_BIP_BDT_LIST,  IDC_BIP_IP_LABEL,
                            IDC_BIP_IP_ADDRESS, IDC_BIP_UDP_LABEL, IDC_BIP_UDP_PORT,  IDC_BIP_BDT_MASK_LABEL,
                            IDC_BIP_BDT_MASK,   IDC_BIP_FDT_GROUP, IDC_BIP_FDT_ENABLE};
// What the Foreign Device check box enables and disables.
const int RemoteBbmdControls[] = {IDC_BIP_REMOTE_GROUP, IDC_BIP_IP_LABEL, IDC_BIP_IP_ADDRESS,
                                  IDC_BIP_UDP_LABEL,    IDC_BIP_UDP_PORT, IDC_BIP_TTL_LABEL,
                                  IDC_BIP_TIME_TO_LIVE};

const int CaptionCapacity = 64;
const int EntryIpCharacters = 23, EntryUdpCharacters = 6, EntryMaskCharacters = 23;

HINSTANCE ResourceModule() { return ModuleInstance ? ModuleInstance : GetModuleHandleA(nullptr); }

bool IsChecked(HWND page, int id) { return DialogItem(page, id).IsChecked(); }

bool HasText(HWND page, int id) { return GetWindowTextLengthA(GetDlgItem(page, id)) > 0; }

// Changes a control's state only when it differs.
void EnableIfChanged(HWND page, int id, bool enabled)
{
    DialogItem item(page, id);
    if (item.IsEnabled() != enabled)
        item.Enable(enabled);
}

bool EntryTextsTyped(HWND page)
{
    return IsChecked(page, IDC_BIP_BBMD) && HasText(page, IDC_BIP_IP_ADDRESS) &&
           HasText(page, IDC_BIP_UDP_PORT) && HasText(page, IDC_BIP_BDT_MASK);
}

void MakeBdtColumns(HWND page)
{
    HWND list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < int(sizeof(BdtColumns) / sizeof(BdtColumns[0])); ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_CENTER;
        column.cx = BdtColumns[i].width;
        column.pszText = const_cast<char*>(BdtColumns[i].title);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, ReservedBdtRows, 0);
}

// Add and Remove as the entry fields change: Add wants the three texts,
// Remove a selected row.
void UpdateEntryButtons(HWND page, int)
{
    if (PageId(page) != IDD_BIP_BBMD_PAGE)
        return;
    bool bbmd = IsChecked(page, IDC_BIP_BBMD);
    EnableIfChanged(page, IDC_BIP_BDT_ADD, EntryTextsTyped(page));
    EnableIfChanged(page, IDC_BIP_BDT_REMOVE,
                    bbmd && GetSelectedListItem(GetDlgItem(page, IDC_BIP_BDT_LIST)) >= 0);
}

void BbmdClicked(HWND page, int)
{
    BipPort* port = static_cast<BipPort*>(EditedPort(page));
    if (port && IsChecked(page, IDC_BIP_BBMD))
        port->ClearForeignDevice();
    ApplyBbmdPageRules(page);
}

void FdtClicked(HWND page, int) { ApplyBbmdPageRules(page); }

void ForeignDeviceClicked(HWND page, int) { ApplyForeignDevicePageRules(page, true); }

void AddEntry(HWND page, int)
{
    BdtEntry entry = {};
    DialogItem(page, IDC_BIP_IP_ADDRESS).GetText(entry.ipText, EntryIpCharacters + 1);
    DialogItem(page, IDC_BIP_UDP_PORT).GetText(entry.udpText, EntryUdpCharacters + 1);
    DialogItem(page, IDC_BIP_BDT_MASK).GetText(entry.subnetText, EntryMaskCharacters + 1);
    HWND list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    if (!Bdt::IsValidEntry(entry)) {
        ShowMessage(page, IDS_BDT_ENTRY_INVALID, MB_ICONHAND);
        return;
    }
    if (Bdt::FindRow(list, entry) >= 0) {
        ShowMessage(page, IDS_BDT_ENTRY_EXISTS, MB_ICONHAND);
        return;
    }
    Bdt::AppendRow(list, entry);
    if (ListView(list).Count() == 1)
        SelectListItem(list, 0);
    ApplyBbmdPageRules(page);
}

void RemoveEntry(HWND page, int)
{
    HWND list = GetDlgItem(page, IDC_BIP_BDT_LIST);
    int row = GetSelectedListItem(list);
    if (row >= 0 && SendMessageA(list, LVM_DELETEITEM, WPARAM(row), 0)) {
        int rows = ListView(list).Count();
        if (rows > 0)
            SelectListItem(list, row < rows ? row : rows - 1);
    } else {
        SelectListItem(list, -1);
    }
    ApplyBbmdPageRules(page);
}

const ControlAction Controls[] = {
    {IDC_BIP_UDP_PORT, EN_CHANGE, UpdateEntryButtons},
    {IDC_BIP_IP_ADDRESS, EN_CHANGE, UpdateEntryButtons},
    {IDC_BIP_BDT_MASK, EN_CHANGE, UpdateEntryButtons},
    {IDC_BIP_BBMD, BN_CLICKED, BbmdClicked},
    {IDC_BIP_FDT_ENABLE, BN_CLICKED, FdtClicked},
    {IDC_BIP_BDT_ADD, BN_CLICKED, AddEntry},
    {IDC_BIP_BDT_REMOVE, BN_CLICKED, RemoveEntry},
    {IDC_BIP_FOREIGN_DEVICE, BN_CLICKED, ForeignDeviceClicked},
};

// A row that becomes selected fills the entry fields with its texts.
bool RowSelected(HWND page, const NMHDR* header)
{
    if (!header || header->idFrom != IDC_BIP_BDT_LIST || header->code != UINT(LVN_ITEMCHANGED))
        return false;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) {
        BdtEntry entry = {};
        Bdt::GetRowTexts(header->hwndFrom, change->iItem, entry);
        DialogItem(page, IDC_BIP_IP_ADDRESS).SetText(entry.ipText);
        DialogItem(page, IDC_BIP_UDP_PORT).SetText(entry.udpText);
        DialogItem(page, IDC_BIP_BDT_MASK).SetText(entry.subnetText);
    }
    return true;
}

}  // namespace

int PageId(HWND page) { return page ? int(GetWindowLongPtrA(page, GWLP_ID)) : 0; }

INT_PTR CALLBACK BipPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        // The page tells the operations which page it is by its window id.
        const PROPSHEETPAGEA* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        if (sheetPage && IS_INTRESOURCE(sheetPage->pszTemplate))
            SetWindowLongPtrA(page, GWLP_ID,
                              LONG_PTR(LOWORD(reinterpret_cast<ULONG_PTR>(sheetPage->pszTemplate))));
        if (PageId(page) == IDD_BIP_BBMD_PAGE)
            MakeBdtColumns(page);
    }
    if (message == WM_NOTIFY && RowSelected(page, reinterpret_cast<const NMHDR*>(lParam)))
        return TRUE;
    return DispatchControls(Controls, page, message, wParam, lParam, PortPageProc);
}

void ApplyBbmdPageRules(HWND page)
{
    bool bbmd = IsChecked(page, IDC_BIP_BBMD);
    for (int id : BbmdControls)
        DialogItem(page, id).Enable(bbmd);
    bool add = EntryTextsTyped(page);
    DialogItem(page, IDC_BIP_BDT_ADD).Enable(add);
    DialogItem(page, IDC_BIP_BDT_REMOVE).Enable(add && ListView(page, IDC_BIP_BDT_LIST).Count() > 0);
    bool fdt = bbmd && IsChecked(page, IDC_BIP_FDT_ENABLE);
    DialogItem(page, IDC_BIP_MAX_FDT_LABEL).Enable(fdt);
    DialogItem(page, IDC_BIP_MAX_FDT_ENTRIES).Enable(fdt);
}

void ApplyForeignDevicePageRules(HWND page, bool allowed)
{
    DialogItem(page, IDC_BIP_FOREIGN_DEVICE).Enable(allowed);
    bool registered = allowed && IsChecked(page, IDC_BIP_FOREIGN_DEVICE);
    for (int id : RemoteBbmdControls)
        DialogItem(page, id).Enable(registered);
}

bool BipPort::Edit(HWND parent)
{
    std::unique_ptr<BipPort> working(new (std::nothrow) BipPort(*this));
    if (!working)
        return false;
    const int pageIds[] = {IDD_BIP_PORT_PAGE, IDD_BIP_BBMD_PAGE, IDD_BIP_FOREIGN_DEVICE_PAGE};
    PROPSHEETPAGEA pages[3] = {};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof(pages[i]);
        pages[i].hInstance = ResourceModule();
        pages[i].pszTemplate = MAKEINTRESOURCEA(pageIds[i]);
        pages[i].pfnDlgProc = GetDialogProc();
        pages[i].lParam = LPARAM(working.get());
    }
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    sheet.hwndParent = parent;
    sheet.hInstance = ResourceModule();
    // The caption is loaded here rather than named by its id: Wine's sheet
    // shows its own placeholder title for a caption given as a string id.
    char caption[CaptionCapacity] = "";
    LoadStringA(ResourceModule(), IDS_BIP_SHEET_CAPTION, caption, sizeof(caption));
    sheet.pszCaption = caption;
    sheet.nPages = 3;
    sheet.nStartPage = 0;
    sheet.ppsp = pages;
    if (PropertySheetA(&sheet) != 1)
        return false;
    CopyFrom(*working);
    return true;
}
