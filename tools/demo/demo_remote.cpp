// demo_remote: works the Port Table dialog of a running rundll32 from
// outside, as a person at the keyboard would, for `make run` and
// `make screenshots`; and prints the stored Port Table.
//
//   demo_remote wait TEXT SECONDS    wait until a visible top-level window whose
//                                    title holds TEXT is shown and painted;
//                                    print its title
//   demo_remote edit ROW SECONDS     in the Port Table dialog, select row ROW
//                                    with the keyboard and press Edit; wait for
//                                    the port's dialog and print its title
//   demo_remote edit ROW SECONDS PAGE  the same, then show page PAGE (from 0)
//                                    of the port's property sheet
//   demo_remote press TEXT ID SECONDS
//                                    in the window whose title holds TEXT,
//                                    press the button ID; wait for the dialog
//                                    it opens and print its title
//   demo_remote close TEXT SECONDS   press Cancel in the window whose title
//                                    holds TEXT and wait until it has gone
//   demo_remote table                print the stored Port Table
//
// Exit status: 0 done, 1 not done within the time given (a message says
// why), 2 bad arguments. Every wait is bounded.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "resource.h"
#include "stack/stack_names.h"

namespace {

const char kPortTableTitle[] = "Port Table";
const int kEditButton = 210;
const DWORD kPollMs = 50;

// Deadline of a bounded wait.
class Deadline {
public:
    explicit Deadline(int seconds) : end_(GetTickCount() + static_cast<DWORD>(seconds) * 1000) {}
    bool Passed() const { return static_cast<LONG>(GetTickCount() - end_) >= 0; }

private:
    DWORD end_;
};

struct WindowSearch {
    const char* titlePart;  // null: any title
    HWND owner;             // null: any owner
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM searchAddress)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(searchAddress);
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->owner && GetWindow(window, GW_OWNER) != search->owner) {
        return TRUE;
    }
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (search->titlePart && !strstr(title, search->titlePart)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindTopLevel(const char* titlePart, HWND owner)
{
    WindowSearch search = {titlePart, owner, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK NoteUpdate(HWND window, LPARAM pendingAddress)
{
    if (GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(pendingAddress) = true;
    }
    return TRUE;
}

// True when the window's thread answers messages and neither the window nor
// any of its controls waits to be painted.
bool IsPainted(HWND window)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
        return false;
    }
    bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    EnumChildWindows(window, NoteUpdate, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

// Waits until the window has been painted twice in a row a little apart, so
// that a picture taken now shows it complete.
bool WaitPainted(HWND window, const Deadline& deadline)
{
    int quietChecks = 0;
    while (quietChecks < 3) {
        if (!IsWindow(window) || deadline.Passed()) {
            return false;
        }
        quietChecks = IsPainted(window) ? quietChecks + 1 : 0;
        Sleep(kPollMs * 2);
    }
    return true;
}

// Without a window manager no window gets the X input focus, and Wine draws
// even the foreground window with an inactive caption. The helper brings the
// window to the front and has its caption drawn active, as a click would.
void Activate(HWND window)
{
    SetForegroundWindow(window);
    if (GetForegroundWindow() == window) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    }
}

HWND WaitWindow(const char* titlePart, HWND owner, const Deadline& deadline)
{
    for (;;) {
        HWND window = FindTopLevel(titlePart, owner);
        // Activated once its own start-up, which may draw the caption
        // inactive, is over.
        if (window && WaitPainted(window, deadline)) {
            Activate(window);
            if (WaitPainted(window, deadline)) {
                return window;
            }
        }
        if (deadline.Passed()) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

void PrintTitle(HWND window)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    printf("%s\n", title);
}

int Wait(const char* titlePart, int seconds)
{
    HWND window = WaitWindow(titlePart, nullptr, Deadline(seconds));
    if (!window) {
        fprintf(stderr, "demo_remote: no window titled \"...%s...\" within %d s\n", titlePart, seconds);
        return 1;
    }
    PrintTitle(window);
    return 0;
}

void PressKey(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// Home, then Down ROW times, in the list of ports; then Edit; then the
// sheet's page, when one is given (page < 0: none).
int Edit(int row, int seconds, int page)
{
    Deadline deadline(seconds);
    HWND table = WaitWindow(kPortTableTitle, nullptr, deadline);
    while (table && !IsWindowEnabled(table) && !deadline.Passed()) {
        Sleep(kPollMs);  // a port dialog is still closing
    }
    HWND list = table ? GetDlgItem(table, IDC_PORT_LIST) : nullptr;
    if (!list) {
        fprintf(stderr, "demo_remote: no Port Table dialog with its list within %d s\n", seconds);
        return 1;
    }
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (row < 0 || row >= rows) {
        fprintf(stderr, "demo_remote: the Port Table shows %d rows, no row %d\n", rows, row);
        return 1;
    }
    PressKey(list, VK_HOME);
    for (int i = 0; i < row; ++i) {
        PressKey(list, VK_DOWN);
    }
    while (SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != row) {
        if (deadline.Passed()) {
            fprintf(stderr, "demo_remote: row %d did not become selected\n", row);
            return 1;
        }
        Sleep(kPollMs);
    }
    PostMessageA(table, WM_COMMAND, MAKEWPARAM(kEditButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(table, kEditButton)));
    HWND portDialog = WaitWindow(nullptr, table, deadline);
    if (!portDialog) {
        fprintf(stderr, "demo_remote: Edit on row %d opened no dialog within %d s\n", row, seconds);
        return 1;
    }
    if (page >= 0) {
        SendMessageA(portDialog, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
        RedrawWindow(portDialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    PrintTitle(portDialog);
    return 0;
}

int Press(const char* titlePart, int id, int seconds)
{
    Deadline deadline(seconds);
    HWND window = WaitWindow(titlePart, nullptr, deadline);
    if (!window || !GetDlgItem(window, id)) {
        fprintf(stderr, "demo_remote: no window titled \"...%s...\" with a control %d\n", titlePart, id);
        return 1;
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    HWND opened = WaitWindow(nullptr, window, deadline);
    if (!opened) {
        fprintf(stderr, "demo_remote: button %d opened no dialog within %d s\n", id, seconds);
        return 1;
    }
    PrintTitle(opened);
    return 0;
}

int Close(const char* titlePart, int seconds)
{
    Deadline deadline(seconds);
    HWND window = FindTopLevel(titlePart, nullptr);
    if (!window) {
        fprintf(stderr, "demo_remote: no window titled \"...%s...\" to close\n", titlePart);
        return 1;
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (deadline.Passed()) {
            fprintf(stderr, "demo_remote: \"%s\" still open after Cancel\n", titlePart);
            return 1;
        }
        Sleep(kPollMs);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The stored table, as the registry holds it.

class Key {
public:
    Key(HKEY parent, const char* path)
    {
        if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~Key()
    {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY get() const { return key_; }

    bool Dword(const char* name, DWORD* value) const
    {
        DWORD type = 0;
        DWORD size = sizeof *value;
        return key_ &&
               RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    }

    // "-" when the value is missing.
    void Text(const char* name, char* text, DWORD size) const
    {
        DWORD type = 0;
        DWORD got = size - 1;
        if (!key_ ||
            RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &got) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            strcpy(text, "-");
            return;
        }
        text[got < size ? got : size - 1] = '\0';
    }

private:
    HKEY key_ = nullptr;
};

// The kind an entry loads as, from its "Type" and "Protocol".
const char* KindName(DWORD type, DWORD protocol)
{
    switch (type) {
    case 1:
        return "Virtual";
    case 2:
        return protocol == 9 ? "HTTP point-to-point" : "Point-to-point";
    default:
        return protocol == 1 ? "BACnet/IP" : protocol == 3 ? "ARCNET" : "Ethernet";
    }
}

void Number(const Key& entry, const char* name, char* text, size_t size)
{
    DWORD value = 0;
    if (entry.Dword(name, &value)) {
        snprintf(text, size, "%lu", static_cast<unsigned long>(value));
    } else {
        snprintf(text, size, "-");
    }
}

int Table()
{
    Key version(HKEY_LOCAL_MACHINE, STACK_VERSION_KEY_PATH);
    DWORD major = 0, minor = 0;
    if (version.Dword(STACK_MAJOR_VERSION_VALUE, &major) &&
        version.Dword(STACK_MINOR_VERSION_VALUE, &minor)) {
        printf("Stack version %lu.%lu\n", static_cast<unsigned long>(major),
               static_cast<unsigned long>(minor));
    }
    Key table(HKEY_LOCAL_MACHINE, PORT_TABLE_KEY_PATH);
    DWORD count = 0;
    if (!table.get()) {
        printf("No Port Table stored (HKLM\\%s is missing).\n", PORT_TABLE_KEY_PATH);
        return 0;
    }
    table.Dword("Num_Entries", &count);
    printf("Port Table, %lu entries (HKLM\\%s):\n", static_cast<unsigned long>(count), PORT_TABLE_KEY_PATH);
    printf("  %-6s %-20s %-8s %-8s %-9s %s\n", "Entry", "Kind", "Port ID", "Network", "Attached", "NIC");
    for (DWORD i = 0; i < count && i < 1000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "Entry%lu", static_cast<unsigned long>(i));
        Key entry(table.get(), name);
        if (!entry.get()) {
            printf("  %-6lu (no key %s)\n", static_cast<unsigned long>(i), name);
            continue;
        }
        DWORD type = 0, protocol = 0, connected = 1;
        entry.Dword("Type", &type);
        entry.Dword("Protocol", &protocol);
        bool hasConnected = entry.Dword("Connected", &connected);
        char port[16], network[16], nic[256];
        Number(entry, "Port", port, sizeof port);
        Number(entry, "Dnet", network, sizeof network);
        entry.Text("Nic", nic, sizeof nic);
        bool onAdapter = type != 1 && type != 2;
        if (onAdapter && (nic[0] == '\0' || strcmp(nic, "-") == 0)) {
            strcpy(nic, "Default");  // no adapter named
        }
        printf("  %-6lu %-20s %-8s %-8s %-9s %s\n", static_cast<unsigned long>(i), KindName(type, protocol),
               port, network,
               !hasConnected ? "-"
               : connected   ? "yes"
                             : "no",
               nic);
    }
    return 0;
}

int Usage()
{
    fprintf(stderr,
            "usage: demo_remote wait TEXT SECONDS | edit ROW SECONDS [PAGE] | press TEXT ID SECONDS | close "
            "TEXT SECONDS | table\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // Plain "\n" line ends for the shell scripts that read the output.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc == 2 && strcmp(argv[1], "table") == 0) {
        return Table();
    }
    if (argc == 5 && strcmp(argv[1], "edit") == 0 && atoi(argv[3]) > 0) {
        return Edit(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    }
    if (argc == 5 && strcmp(argv[1], "press") == 0 && atoi(argv[4]) > 0) {
        return Press(argv[2], atoi(argv[3]), atoi(argv[4]));
    }
    if (argc != 4) {
        return Usage();
    }
    int seconds = atoi(argv[3]);
    if (seconds <= 0) {
        return Usage();
    }
    if (strcmp(argv[1], "wait") == 0) {
        return Wait(argv[2], seconds);
    }
    if (strcmp(argv[1], "edit") == 0) {
        return Edit(atoi(argv[2]), seconds, -1);
    }
    if (strcmp(argv[1], "close") == 0) {
        return Close(argv[2], seconds);
    }
    return Usage();
}
