// Resource ids shared by the resource script and the code.
#pragma once

// Labels and other controls that the code never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The Port Table dialog's list view of entries, one row per entry in table
// order.
#define IDC_PORT_LIST 200

// Controls shared by the single-dialog port kinds.
#define IDC_PORT_ID 510
#define IDC_ATTACHED 511
#define IDC_NETWORK 512

// Ethernet port dialog.
#define IDC_ADAPTER_LIST 516

// String table.
#define IDS_DUPLICATE_ENTRIES 128
#define IDS_INVALID_ENTRIES 129
#define IDS_PORT_SET_INCOMPLETE 133
#define IDS_INVALID_FIELD 145

// Dialog templates.
#define IDD_PORT_TABLE 100
#define IDD_ETHERNET_PORT 500
#define IDD_VIRTUAL_PORT 501
