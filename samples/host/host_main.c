/* A host program that embeds the Port Table dialog of tolmarin.dll: built
 * from tolmarin.h and the import library alone (see host_window.c). */
#include <windows.h>

#include "host_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HWND host;
    MSG message;
    (void)previous;
    (void)commandLine;
    host = CreateHostWindow(instance, show);
    if (!host)
        return 1;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        /* Tab, arrows and mnemonics inside the embedded dialog. */
        if (IsDialogMessageA(HostPortTable(host), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
