/* The sample host's main window: the Port Table dialog of tolmarin.dll
 * embedded in it, an indicator of unsaved changes, and the buttons that
 * apply, discard and restart the protocol stack. */
#ifndef HOST_WINDOW_H
#define HOST_WINDOW_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_WINDOW_TITLE "Port Table Host"

/* Child windows of the main window. */
#define IDC_HOST_PORT_TABLE 100 /* the embedded Port Table dialog */
#define IDC_HOST_CHANGED 101    /* "Unsaved changes" or "No unsaved changes" */
#define IDC_HOST_APPLY 102      /* validate (code 3), then save (code 4) */
#define IDC_HOST_DISCARD 103    /* read the stored table again (code 5) */
#define IDC_HOST_RESTART 104    /* restart the stack, after asking (code 6) */

/* Creates and shows the main window; NULL when the DLL hands out no dialog. */
HWND CreateHostWindow(HINSTANCE instance, int show);

/* The embedded Port Table dialog, for IsDialogMessage in the message loop. */
HWND HostPortTable(HWND host);

#ifdef __cplusplus
}
#endif

#endif /* HOST_WINDOW_H */
