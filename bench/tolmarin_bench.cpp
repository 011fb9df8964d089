// Measures what tolmarin.dll costs on a full Port Table: each figure is the
// DLL's time divided by the time of plain registry or list-view calls doing
// the same work, both measured in the same run; the median of several runs'
// ratios.
//
//   attach  (LoadLibrary + FreeLibrary, full table) - (the same, empty table)
//           against reading every stored value of the table as stored
//           (each key's values by index, then its subkeys); each time the
//           least of 5 passes
//   save    control code 4 against deleting the table and writing every
//           value back
//   dialog  the Port Table dialog created with 255 rows against a bare list
//           view filled with the same texts and images
//
// The table is written straight into the registry: 255 entries of all six
// kinds, each BACnet/IP entry with a 32-entry broadcast distribution table.
// Prints one line per figure with its target and PASS or FAIL; the exit
// status is 1 when a target is missed.
#include <windows.h>
#include <winsock2.h>

#include <commctrl.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resource.h"
#include "tolmarin.h"

namespace {

const char TablePath[] = "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl\\Port_Table";
const int Entries = 255;
const int BdtEntries = 32;
const int Runs = 9;
const int Columns = 7;

using Ioctl = BOOL(WINAPI*)(DWORD, void*);

// ---------------------------------------------------------------------------
// Time

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void Fail(const char* what)
{
    fprintf(stderr, "bench: %s (error %lu)\n", what, GetLastError());
    ExitProcess(2);
}

// ---------------------------------------------------------------------------
// A registry tree in memory, and the raw calls that read, delete and write it

struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};
struct Key {
    std::string name;
    std::vector<Value> values;
    std::vector<Key> subkeys;
};

void AddDword(Key& key, const char* name, DWORD number)
{
    key.values.push_back({name, REG_DWORD, std::vector<BYTE>(4)});
    memcpy(key.values.back().data.data(), &number, 4);
}
void AddString(Key& key, const char* name, const std::string& text, DWORD type = REG_SZ)
{
    key.values.push_back({name, type, std::vector<BYTE>(text.begin(), text.end())});
    key.values.back().data.push_back(0);
}

Key ReadTree(HKEY parent, const std::string& name)
{
    Key key{name, {}, {}};
    HKEY handle;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return key;
    for (DWORD i = 0;; ++i) {
        char valueName[256];
        BYTE data[4096];
        DWORD nameSize = sizeof(valueName), dataSize = sizeof(data), type;
        if (RegEnumValueA(handle, i, valueName, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        key.values.push_back({valueName, type, std::vector<BYTE>(data, data + dataSize)});
    }
    for (DWORD i = 0;; ++i) {
        char subName[256];
        DWORD nameSize = sizeof(subName);
        if (RegEnumKeyExA(handle, i, subName, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        key.subkeys.push_back(ReadTree(handle, subName));
    }
    RegCloseKey(handle);
    return key;
}

// Reads every stored value of the tree, each by a name known beforehand:
// the least a program that knew every name without asking could do.
void ReadEveryValue(HKEY parent, const Key& key)
{
    HKEY handle;
    if (RegOpenKeyExA(parent, key.name.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        Fail("cannot open a key of the table");
    for (const Value& value : key.values) {
        BYTE data[4096];
        DWORD size = sizeof(data), type;
        RegQueryValueExA(handle, value.name.c_str(), nullptr, &type, data, &size);
    }
    for (const Key& subkey : key.subkeys)
        ReadEveryValue(handle, subkey);
    RegCloseKey(handle);
}

// Reads every stored value of the key name below parent and of every key
// below it, as they come: each key's values by their index, then its
// subkeys. What a program that reads the whole table as stored does.
void WalkEveryValue(HKEY parent, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        Fail("cannot open a key of the table");
    for (DWORD i = 0;; ++i) {
        char valueName[256];
        BYTE data[4096];
        DWORD nameSize = sizeof(valueName), dataSize = sizeof(data), type;
        if (RegEnumValueA(handle, i, valueName, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
    }
    for (DWORD i = 0;; ++i) {
        char subName[256];
        DWORD nameSize = sizeof(subName);
        if (RegEnumKeyExA(handle, i, subName, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        WalkEveryValue(handle, subName);
    }
    RegCloseKey(handle);
}

void DeleteTree(HKEY parent, const char* name)
{
    HKEY handle;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    char subName[256];
    DWORD size = sizeof(subName);
    while (RegEnumKeyExA(handle, 0, subName, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(handle, subName);
        size = sizeof(subName);
    }
    RegCloseKey(handle);
    RegDeleteKeyA(parent, name);
}

void WriteTree(HKEY parent, const Key& key)
{
    HKEY handle;
    if (RegCreateKeyExA(parent, key.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        Fail("cannot create a key of the table");
    for (const Value& value : key.values)
        RegSetValueExA(handle, value.name.c_str(), 0, value.type, value.data.data(),
                       DWORD(value.data.size()));
    for (const Key& subkey : key.subkeys)
        WriteTree(handle, subkey);
    RegCloseKey(handle);
}

// Keys below key, and the values of key and of every key below it.
void Count(const Key& key, size_t& keys, size_t& values)
{
    values += key.values.size();
    for (const Key& subkey : key.subkeys) {
        ++keys;
        Count(subkey, keys, values);
    }
}

// ---------------------------------------------------------------------------
// The full mixed table

std::string HostAddressText()
{
    char name[256];
    if (gethostname(name, sizeof(name)) != 0)
        return "";
    const hostent* host = gethostbyname(name);
    if (!host || !host->h_addr_list || !host->h_addr_list[0])
        return "";
    in_addr address;
    memcpy(&address, host->h_addr_list[0], sizeof(address));
    return inet_ntoa(address);
}

std::string Format(const char* format, int a, int b = 0)
{
    char text[256];
    snprintf(text, sizeof(text), format, a, b);
    return text;
}

// Entry i: port id and network number i + 1, of kind i % 6. BACnet/IP
// entries alternate between the "Default" address and the host's own one.
Key FullEntry(int i, const std::string& hostAddress)
{
    Key entry{Format("Entry%d", i), {}, {}};
    static const DWORD Kinds[6][2] = {{0, 0}, {0, 1}, {0, 3}, {1, 0}, {2, 2}, {2, 9}};
    int kind = i % 6;
    AddDword(entry, "Type", Kinds[kind][0]);
    AddDword(entry, "Protocol", Kinds[kind][1]);
    AddDword(entry, "Port", DWORD(i + 1));
    AddDword(entry, "Connected", 1);
    if (kind <= 3)
        AddDword(entry, "Dnet", DWORD(i + 1));
    switch (kind) {
    case 0:
        AddString(entry, "Nic", "");
        break;
    case 1: {
        AddString(entry, "Nic", i % 12 == 1 ? "" : hostAddress);
        AddString(entry, "Secondary_Info", Format("/UDP:%d", 47808 + i));
        Key bip{"Bip", {}, {}};
        AddDword(bip, "Bbmd", 1);
        AddDword(bip, "Two_Hops", 0);
        AddDword(bip, "Num_Bdt_Entries", BdtEntries);
        for (int b = 0; b < BdtEntries; ++b)
            AddString(bip, Format("Bdt_Entry%d", b).c_str(),
                      Format("/IP:\"10.%d.%d.1\" /UDP:\"47808\" /SUBNET:\"255.255.255.255\"", i, b));
        AddString(bip, "This_Subnet_Mask", "255.255.255.0");
        AddDword(bip, "Fdt_Present", 1);
        AddDword(bip, "Max_Fdt_Entries", 16);
        AddDword(bip, "Foreign_Device", 0);
        AddString(bip, "Fd_Bbmd_Ip", "0.0.0.0");
        AddDword(bip, "Fd_Bbmd_Udp", 0xBAC0);
        AddDword(bip, "Fd_Time_To_Live", 1800);
        entry.subkeys.push_back(bip);
        break;
    }
    case 2:
        AddString(entry, "Nic", "");
        AddString(
            entry, "Secondary_Info",
            Format("/ioport:0x%x /irq:5 /nodeid:%d /baud:\"2.5\" /naks:128 /extimeout:1", 0x200 + 8 * i, i));
        break;
    case 4: {
        AddString(entry, "Nic", "COM1");
        AddString(
            entry, "Secondary_Info",
            "/mode:\"19200,n,8,1\" /modem /phones:\"5551234 9w5559876\" /retries:3 /interval:30 /rings:2 "
            "/initstr:\"atx4q0v1s0=0&d2&b1&c1\" /dialstr:\"atd\"");
        AddDword(entry, "Ptp_Permanent", 0);
        AddDword(entry, "Ptp_Performance", 128);
        std::string dnets = Format("%d", 1000 + 2 * i) + '\0' + Format("%d", 1001 + 2 * i) + '\0';
        AddString(entry, "Ptp_Dnets", dnets, REG_MULTI_SZ);
        AddString(entry, "Ptp_Password", "gateway");
        Key ptp{"PTP", {}, {}};
        AddString(ptp, "In_Passwords", std::string("remote") + '\0', REG_MULTI_SZ);
        entry.subkeys.push_back(ptp);
        break;
    }
    case 5:
        AddString(entry, "Nic",
                  Format("-client:%d -server_port:80 -server_host:\"gw.example.com\" "
                         "-proxy_host:\"proxy.example.com\" -proxy_port:8080",
                         i));
        AddDword(entry, "Ptp_Permanent", 1);
        AddDword(entry, "Ptp_Performance", 255);
        AddString(entry, "Ptp_Dnets", Format("%d", 1000 + 2 * i) + '\0', REG_MULTI_SZ);
        break;
    }
    return entry;
}

Key FullTable()
{
    Key table{TablePath, {}, {}};
    AddDword(table, "Num_Entries", Entries);
    std::string host = HostAddressText();
    for (int i = 0; i < Entries; ++i)
        table.subkeys.push_back(FullEntry(i, host));
    return table;
}

void StoreTable(const Key& table)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    WriteTree(HKEY_LOCAL_MACHINE, table);
}

void StoreEmptyTable()
{
    Key empty{TablePath, {}, {}};
    AddDword(empty, "Num_Entries", 0);
    StoreTable(empty);
}

// ---------------------------------------------------------------------------
// The DLL

struct Library {
    Library()
    {
        module = LoadLibraryA("tolmarin.dll");
        if (!module)
            Fail("cannot load tolmarin.dll");
        ioctl = reinterpret_cast<Ioctl>(GetProcAddress(module, "OrvantaPropertiesIoctl"));
        if (!ioctl)
            Fail("tolmarin.dll has no OrvantaPropertiesIoctl");
    }
    ~Library() { FreeLibrary(module); }
    HMODULE module;
    Ioctl ioctl;
};

void LoadAndFree()
{
    HMODULE module = LoadLibraryA("tolmarin.dll");
    if (!module)
        Fail("cannot load tolmarin.dll");
    FreeLibrary(module);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// What the dialog's list shows: every row's texts and image.
struct Rows {
    std::vector<std::string> texts;  // row-major, Columns per row
    std::vector<int> images;
};

Rows ReadRows(HWND list)
{
    Rows rows;
    int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < Columns; ++column) {
            char text[512] = "";
            ListView_GetItemText(list, row, column, text, sizeof(text));
            rows.texts.push_back(text);
        }
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(list, &item);
        rows.images.push_back(item.iImage);
    }
    return rows;
}

// A list view as bare as can be, with the dialog's columns, icons, texts and
// images.
HWND FillBareList(HWND host, HMODULE icons, const Rows& rows)
{
    static const int Widths[Columns] = {60, 70, 95, 100, 90, 110, 300};
    static const char* const Headers[Columns] = {"Port ID",  "Attached", "Network Num", "Type",
                                                 "Protocol", "NIC",      "Sec. Info"};
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0,
                                600, 300, host, nullptr, nullptr, nullptr);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 4, 0);
    for (int id : {IDI_PORT_PHYSICAL, IDI_PORT_VIRTUAL, IDI_PORT_PTP, IDI_PORT_PROBLEM}) {
        HICON icon = HICON(LoadImageA(icons, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    }
    ListView_SetImageList(list, images, LVSIL_SMALL);
    for (int column = 0; column < Columns; ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.cx = Widths[column];
        header.pszText = const_cast<char*>(Headers[column]);
        header.iSubItem = column;
        ListView_InsertColumn(list, column, &header);
    }
    for (size_t row = 0; row < rows.images.size(); ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = int(row);
        item.iImage = rows.images[row];
        item.pszText = const_cast<char*>(rows.texts[row * Columns].c_str());
        ListView_InsertItem(list, &item);
        for (int column = 1; column < Columns; ++column)
            ListView_SetItemText(list, int(row), column,
                                 const_cast<char*>(rows.texts[row * Columns + column].c_str()));
    }
    return list;
}

// ---------------------------------------------------------------------------
// Figures

int failures = 0;

void Report(const char* name, double figure, double target, const char* detail)
{
    bool pass = figure <= target;
    if (!pass)
        ++failures;
    printf("%-8s %6.2f  (target <= %.2f)  %s   %s\n", name, figure, target, pass ? "PASS" : "FAIL", detail);
    fflush(stdout);
}

// Each run times every side once, one after the other, so that a slow
// moment of the machine weighs on both; the figure is the median of the
// runs' ratios.
template <class Run>
double MedianRatio(Run run)
{
    std::vector<double> ratios;
    for (int i = 0; i < Runs; ++i)
        ratios.push_back(run());
    return Median(ratios);
}

double Time(void (*work)())
{
    double start = Now();
    work();
    return Now() - start;
}

template <class Work>
double TimeOf(Work work)
{
    double start = Now();
    work();
    return Now() - start;
}

// Each time of the attach figure is the least of Passes, the passes of the
// two sides taken in turn: a pass during which other programs had the
// machine is left out, on both sides alike.
const int Passes = 5;

double Least(double least, double time) { return least < 0 || time < least ? time : least; }

void BenchAttach(const Key& table)
{
    std::vector<double> full, empty, walk, byName;
    double figure = MedianRatio([&] {
        double dll = -1, raw = -1, named = -1, none = -1;
        for (int pass = 0; pass < Passes; ++pass) {
            dll = Least(dll, Time(LoadAndFree));
            raw = Least(raw, TimeOf([&] { WalkEveryValue(HKEY_LOCAL_MACHINE, table.name.c_str()); }));
            named = Least(named, TimeOf([&] { ReadEveryValue(HKEY_LOCAL_MACHINE, table); }));
        }
        StoreEmptyTable();
        for (int pass = 0; pass < Passes; ++pass)
            none = Least(none, Time(LoadAndFree));
        StoreTable(table);
        full.push_back(dll);
        walk.push_back(raw);
        byName.push_back(named);
        empty.push_back(none);
        return (dll - none) / raw;
    });
    char detail[200];
    snprintf(detail, sizeof(detail),
             "load+free %.1f ms full, %.1f ms empty; raw walk %.1f ms (each value read by a name known "
             "beforehand: %.1f ms)",
             Median(full), Median(empty), Median(walk), Median(byName));
    Report("attach", figure, 0.9, detail);
}

void BenchSave(const Key& table)
{
    std::vector<double> save, raw;
    double figure;
    {
        Library library;
        figure = MedianRatio([&] {
            save.push_back(TimeOf([&] { library.ioctl(TOLMARIN_IOCTL_SAVE, nullptr); }));
            raw.push_back(TimeOf([&] { StoreTable(table); }));
            return save.back() / raw.back();
        });
    }
    char detail[160];
    snprintf(detail, sizeof(detail), "code 4 %.1f ms; raw delete and write %.1f ms", Median(save),
             Median(raw));
    Report("save", figure, 1.3, detail);
}

void BenchDialog()
{
    Library library;
    const DLGTEMPLATE* dialogTemplate = nullptr;
    DLGPROC proc = nullptr;
    if (!library.ioctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate) ||
        !library.ioctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, &proc))
        Fail("no dialog from control codes 0 and 1");
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 500, nullptr, nullptr,
                                nullptr, nullptr);
    auto open = [&] { return CreateDialogIndirectParamA(library.module, dialogTemplate, host, proc, 0); };

    HWND first = open();
    if (!first)
        Fail("the Port Table dialog did not open");
    Rows rows = ReadRows(GetDlgItem(first, IDC_PORT_LIST));
    DestroyWindow(first);
    PumpMessages();
    if (rows.images.size() != size_t(Entries)) {
        fprintf(stderr, "bench: the dialog shows %u rows, not %d\n", unsigned(rows.images.size()), Entries);
        ExitProcess(2);
    }

    std::vector<double> dialog, bare;
    double figure = MedianRatio([&] {
        HWND opened = nullptr, list = nullptr;
        dialog.push_back(TimeOf([&] { opened = open(); }));
        DestroyWindow(opened);
        PumpMessages();
        bare.push_back(TimeOf([&] { list = FillBareList(host, library.module, rows); }));
        DestroyWindow(list);
        PumpMessages();
        return dialog.back() / bare.back();
    });
    DestroyWindow(host);
    char detail[160];
    snprintf(detail, sizeof(detail), "dialog %.1f ms; bare list view %.1f ms (%d rows)", Median(dialog),
             Median(bare), Entries);
    Report("dialog", figure, 1.5, detail);
}

}  // namespace

// With --store the program only writes the full table and ends, leaving it
// for a profile of the DLL.
int main(int argc, char** argv)
{
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 0), &winsock);
    InitCommonControls();
    // The DLL's own imports stay loaded, so each load measures the DLL alone.
    for (const char* name : {"ws2_32.dll", "comctl32.dll", "setupapi.dll"})
        LoadLibraryA(name);

    // The table as the DLL stores it: written once, loaded and saved back.
    StoreTable(FullTable());
    if (argc > 1 && strcmp(argv[1], "--store") == 0)
        return 0;
    {
        Library library;
        library.ioctl(TOLMARIN_IOCTL_SAVE, nullptr);
    }
    Key table = ReadTree(HKEY_LOCAL_MACHINE, TablePath);
    table.name = TablePath;
    size_t keys = 0, values = 0;
    Count(table, keys, values);
    printf("table: %u entries, %u keys below the table key, %u values; median of %d runs each\n",
           unsigned(table.subkeys.size()), unsigned(keys), unsigned(values), Runs);

    BenchAttach(table);
    BenchSave(table);
    BenchDialog();

    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    WSACleanup();
    return failures ? 1 : 0;
}
