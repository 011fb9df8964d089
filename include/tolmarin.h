/* Public interface of tolmarin.dll for host programs that configure the
 * Orvanta Port Table: the exported configuration calls, the control codes
 * of OrvantaPropertiesIoctl and the registered window message.
 * Every export is undecorated and uses the WINAPI (stdcall) convention. */
#ifndef TOLMARIN_H
#define TOLMARIN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Control codes of OrvantaPropertiesIoctl. */
#define TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE 0 /* arg: const DLGTEMPLATE** */
#define TOLMARIN_IOCTL_GET_DIALOG_PROC 1     /* arg: DLGPROC* */
#define TOLMARIN_IOCTL_SET_CHANGE_CALLBACK 2 /* arg: TolmarinChangeCallback* */
#define TOLMARIN_IOCTL_VALIDATE 3            /* result: 1 go on, 0 cancelled */
#define TOLMARIN_IOCTL_SAVE 4
#define TOLMARIN_IOCTL_RELOAD 5
#define TOLMARIN_IOCTL_RESTART_SERVICES 6 /* arg: NULL asks the user first */

/* Called when the table's changed state moves: changed is 1 when the table
 * holds unsaved changes, 0 after a save or reload. */
typedef void(WINAPI* TolmarinChangeCallback)(HWND portTableDialog, BYTE changed);

/* Shows the Port Table dialog, owned by the thread's active window; OK
 * validates and saves the table. *result receives the address of the text
 * "1" after OK and "0" otherwise (nothing is written when result is NULL).
 * FALSE only when the dialog could not be created. The first two arguments
 * are not used. */
BOOL WINAPI DisplayPropertiesDlg(void* unused1, void* unused2, const char** result);

/* The rundll32 form: rundll32 tolmarin.dll,OrvantaPropertiesThroughRunDll32
 * [owner window handle in decimal]. After the dialog has closed, posts
 * TOLMARIN_DIALOG_CLOSED_MESSAGE to all top-level windows. */
void WINAPI OrvantaPropertiesThroughRunDll32(HWND window, HINSTANCE instance, LPSTR commandLine, int show);

/* Drives the Port Table from a host program; see the control codes. */
BOOL WINAPI OrvantaPropertiesIoctl(DWORD code, void* argument);

/* Posted to all top-level windows when the rundll32 dialog has closed:
 * wParam 0 after OK, 1 otherwise. Register it with RegisterWindowMessageA. */
#define TOLMARIN_DIALOG_CLOSED_MESSAGE "Orvanta Properties Dialog Is Closed"

#ifdef __cplusplus
}
#endif

#endif /* TOLMARIN_H */
