// The BACnet/IP property sheet: three pages ("Port", "BBMD", "Foreign
// Device") edited by one page procedure on a working copy of the port, and
// the rules that enable their controls.
#pragma once
#include <windows.h>

// The page procedure of all three pages.
INT_PTR CALLBACK BipPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's template id, which the page carries as its window id.
int PageId(HWND page);

// BBMD page: everything of the table and the foreign device table follows
// the BBMD check box; Add wants the three entry texts, Remove also a row.
void ApplyBbmdPageRules(HWND page);
// Foreign Device page: the check box when allowed, the remote BBMD's fields
// when it is also checked.
void ApplyForeignDevicePageRules(HWND page, bool allowed);
