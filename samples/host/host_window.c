/* The main window of the sample host. The steps a host takes with
 * OrvantaPropertiesIoctl, in order:
 *   codes 0 and 1  the Port Table dialog's template and procedure, from which
 *                  the dialog is created inside the main window;
 *   code 2         the change callback, which feeds the indicator;
 *   codes 3 and 4  Apply: validate, and save when the user goes on;
 *   code 5         Discard: read the stored table again;
 *   code 6         Restart: put the saved table into effect (NULL: the user
 *                  is asked first). */
#include "host_window.h"

#include "tolmarin.h"

#define HOST_CLASS "TolmarinSampleHost"
#define MARGIN 8
#define BUTTON_WIDTH 100
#define BUTTON_HEIGHT 24

/* The callback has no context argument: one main window per process. */
static HWND mainWindow;

static void WINAPI OnTableChanged(HWND portTableDialog, BYTE changed)
{
    (void)portTableDialog;
    SetDlgItemTextA(mainWindow, IDC_HOST_CHANGED, changed ? "Unsaved changes" : "No unsaved changes");
}

/* The dialog's template is a captioned pop-up; inside the main window it
 * becomes a child without frame. The template is read-only resource data
 * of the DLL, so the style changes after creation. */
static HWND EmbedPortTable(HWND host)
{
    const DLGTEMPLATE* dialogTemplate = NULL;
    DLGPROC procedure = NULL;
    HWND dialog;
    LONG style;
    if (!OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, (void*)&dialogTemplate) ||
        !OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_PROC, (void*)&procedure))
        return NULL;
    dialog = CreateDialogIndirectParamA(GetModuleHandleA("tolmarin.dll"), dialogTemplate, host, procedure, 0);
    if (!dialog)
        return NULL;
    style = GetWindowLongA(dialog, GWL_STYLE) &
            ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME);
    SetWindowLongA(dialog, GWL_STYLE, style | WS_CHILD);
    SetParent(dialog, host);
    SetWindowLongA(dialog, GWL_ID, IDC_HOST_PORT_TABLE);
    SetWindowPos(dialog, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    return dialog;
}

static void AddButton(HWND host, const char* text, int id, int x, int y)
{
    CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y, BUTTON_WIDTH,
                    BUTTON_HEIGHT, host, (HMENU)(INT_PTR)id, NULL, NULL);
}

/* The indicator and the buttons below the dialog; the window fits them. */
static void LayOut(HWND host, HWND dialog)
{
    RECT area;
    int y;
    GetWindowRect(dialog, &area);
    y = area.bottom - area.top + MARGIN;
    CreateWindowExA(0, "STATIC", "No unsaved changes", WS_CHILD | WS_VISIBLE, MARGIN, y + 4, 140, 16, host,
                    (HMENU)IDC_HOST_CHANGED, NULL, NULL);
    AddButton(host, "&Apply", IDC_HOST_APPLY, 160, y);
    AddButton(host, "D&iscard", IDC_HOST_DISCARD, 160 + BUTTON_WIDTH + MARGIN, y);
    AddButton(host, "Re&start Stack", IDC_HOST_RESTART, 160 + 2 * (BUTTON_WIDTH + MARGIN), y);
    SetRect(&area, 0, 0, area.right - area.left, y + BUTTON_HEIGHT + MARGIN);
    AdjustWindowRectEx(&area, GetWindowLongA(host, GWL_STYLE), FALSE, GetWindowLongA(host, GWL_EXSTYLE));
    SetWindowPos(host, NULL, 0, 0, area.right - area.left, area.bottom - area.top, SWP_NOMOVE | SWP_NOZORDER);
}

static void OnCommand(int id)
{
    switch (id) {
    case IDC_HOST_APPLY:
        /* 0 from the validation: the user chose to go on editing. */
        if (OrvantaPropertiesIoctl(TOLMARIN_IOCTL_VALIDATE, NULL))
            OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SAVE, NULL);
        break;
    case IDC_HOST_DISCARD:
        /* The embedded dialog shows the table read back. */
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RELOAD, NULL);
        break;
    case IDC_HOST_RESTART:
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RESTART_SERVICES, NULL);
        break;
    }
}

static LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam)
{
    TolmarinChangeCallback callback = OnTableChanged;
    HWND dialog;
    switch (message) {
    case WM_CREATE:
        mainWindow = host;
        dialog = EmbedPortTable(host);
        if (!dialog || !OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, (void*)&callback))
            return -1;
        LayOut(host, dialog);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        callback = NULL;
        OrvantaPropertiesIoctl(TOLMARIN_IOCTL_SET_CHANGE_CALLBACK, (void*)&callback);
        mainWindow = NULL;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(host, message, wParam, lParam);
}

HWND CreateHostWindow(HINSTANCE instance, int show)
{
    WNDCLASSA windowClass = {0};
    HWND host;
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = HOST_CLASS;
    RegisterClassA(&windowClass);
    host = CreateWindowExA(WS_EX_CONTROLPARENT, HOST_CLASS, HOST_WINDOW_TITLE, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 600, 400, NULL, NULL, instance, NULL);
    if (host)
        ShowWindow(host, show);
    return host;
}

HWND HostPortTable(HWND host) { return GetDlgItem(host, IDC_HOST_PORT_TABLE); }
