/* Public interface of tolmarin.dll for host programs that configure the
 * Orvanta Port Table: the exported configuration calls, the control codes
 * of OrvantaPropertiesIoctl, the change callback and the registered window
 * message. Usable from C and C++; link with the import library
 * (libtolmarin.dll.a) or load the DLL and use GetProcAddress with the
 * undecorated names. Every export uses the WINAPI (stdcall) convention.
 *
 * A host that embeds the Port Table dialog in a window of its own:
 *   code 0 and 1   create the dialog (CreateDialogIndirectParamA with the
 *                  DLL's module handle, the template and the procedure);
 *   code 2         learn through the callback whether the table has
 *                  unsaved changes;
 *   code 3, then 4 validate and, when the user goes on, save;
 *   code 5         discard the changes (the stored table is read again);
 *   code 6         restart the protocol services so that the saved table
 *                  takes effect.
 * The embedded dialog hides its own OK and Cancel buttons unless
 * DisplayPropertiesDlg or the rundll32 entry ran earlier in the process. */
#ifndef TOLMARIN_H
#define TOLMARIN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Control codes of OrvantaPropertiesIoctl, with their argument and result.
 * Codes above 6 do nothing and return 0. */

/* argument: const DLGTEMPLATE**, receives the Port Table dialog's template
 * (read-only resource data of the DLL). 1, or 0 when it cannot be loaded. */
#define TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE 0
/* argument: DLGPROC*, receives the Port Table dialog's procedure. 1. */
#define TOLMARIN_IOCTL_GET_DIALOG_PROC 1
/* argument: TolmarinChangeCallback*, the callback to call from now on; a
 * stored NULL turns the notification off. 1. */
#define TOLMARIN_IOCTL_SET_CHANGE_CALLBACK 2
/* argument: not used. Checks the whole table; its questions are owned by
 * the embedded dialog. 1 to go on (save), 0 when the user chose Cancel. */
#define TOLMARIN_IOCTL_VALIDATE 3
/* argument: not used. Writes the table to the registry, then calls the
 * callback with 0. 1, also when the write fails. */
#define TOLMARIN_IOCTL_SAVE 4
/* argument: not used. Drops the table in memory and reads the stored one
 * again, shows it in the open dialog, then calls the callback with 0. 1. */
#define TOLMARIN_IOCTL_RELOAD 5
/* argument: NULL asks the user first (Yes/No); any other pointer restarts
 * without asking. Stops the service "orvanta", restarts the driver's
 * service "vemto" and starts "orvanta" again, under the wait cursor, and
 * shows a message box when "orvanta" cannot be opened, stopped or started.
 * Blocks the calling thread for at most four waits of about 10 seconds. 1. */
#define TOLMARIN_IOCTL_RESTART_SERVICES 6

/* The change callback: called with the Port Table dialog and changed = 1
 * when the table holds changes not yet saved, 0 after a save or reload. */
typedef void(WINAPI* TolmarinChangeCallback)(HWND portTableDialog, BYTE changed);

/* Shows the Port Table dialog modally, owned by the thread's active window;
 * OK validates and saves the table. *result receives the address of the
 * text "1" after OK and "0" otherwise (a static buffer, overwritten by the
 * next call; nothing is written when result is NULL). FALSE only when the
 * dialog could not be created. The first two arguments are not used. */
BOOL WINAPI DisplayPropertiesDlg(void* unused1, void* unused2, const char** result);

/* The rundll32 form: rundll32 tolmarin.dll,OrvantaPropertiesThroughRunDll32
 * [owner window handle in decimal]. After the dialog has closed, posts
 * TOLMARIN_DIALOG_CLOSED_MESSAGE to all top-level windows. */
void WINAPI OrvantaPropertiesThroughRunDll32(HWND window, HINSTANCE instance, LPSTR commandLine, int show);

/* Drives the Port Table from a host program; see the control codes. */
BOOL WINAPI OrvantaPropertiesIoctl(DWORD code, void* argument);

/* Posted to all top-level windows when the rundll32 dialog has closed:
 * wParam 0 after OK, 1 otherwise; lParam 0. Register it with
 * RegisterWindowMessageA. */
#define TOLMARIN_DIALOG_CLOSED_MESSAGE "Orvanta Properties Dialog Is Closed"

/* The Winsock helper calls, for the Windows Sockets framework only (the
 * data-link family 157, datagram sockets of protocol 33000): host programs
 * never call them. The framework's helper interface gives the true types:
 * mapping is a WINSOCK_MAPPING, info a SOCKADDR_INFO, device a
 * UNICODE_STRING; each returns a Windows Sockets error code (0 for success)
 * except WSHEnumProtocols (records written, or -1) and
 * WSHGetWinsockMapping (the mapping's size in bytes). */
#ifndef TOLMARIN_NO_WSH_DECLARATIONS
INT WINAPI WSHEnumProtocols(LPINT protocols, LPWSTR transportKey, LPVOID buffer, LPDWORD bufferLength);
INT WINAPI WSHGetSockaddrType(void* sockaddr, DWORD sockaddrLength, void* info);
INT WINAPI WSHGetSocketInformation(PVOID context, UINT_PTR socket, HANDLE address, HANDLE connection,
                                   INT level, INT option, PCHAR value, LPINT valueLength);
INT WINAPI WSHGetWildcardSockaddr(PVOID context, void* sockaddr, LPINT sockaddrLength);
DWORD WINAPI WSHGetWinsockMapping(void* mapping, DWORD mappingLength);
INT WINAPI WSHNotify(PVOID context, UINT_PTR socket, HANDLE address, HANDLE connection, DWORD event);
INT WINAPI WSHOpenSocket(LPINT family, LPINT type, LPINT protocol, void* device, PVOID* context,
                         LPDWORD events);
INT WINAPI WSHSetSocketInformation(PVOID context, UINT_PTR socket, HANDLE address, HANDLE connection,
                                   INT level, INT option, PCHAR value, INT valueLength);
#endif

#ifdef __cplusplus
}
#endif

#endif /* TOLMARIN_H */
