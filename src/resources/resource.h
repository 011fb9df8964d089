// Resource ids shared by the resource script and the code.
#pragma once

// Labels and other controls that the code never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The Port Table dialog's list view of entries, one row per entry in table
// order.
#define IDC_PORT_LIST 200

// The Port Table dialog's buttons (besides IDOK and IDCANCEL).
#define IDC_EDIT_PORT 210
#define IDC_ADD_PORT 211
#define IDC_REMOVE_PORT 212
#define IDC_PORT_UP 213
#define IDC_PORT_DOWN 214

// Commands of the Add button's menu, one per kind of port.
#define IDM_ADD_PTP 220
#define IDM_ADD_VIRTUAL 221
#define IDM_ADD_BIP 222
#define IDM_ADD_ETHERNET 223
#define IDM_ADD_COM20020 224
#define IDM_ADD_OHTTP_PTP 225

// Controls shared by the single-dialog port kinds.
#define IDC_PORT_ID 510
#define IDC_ATTACHED 511
#define IDC_NETWORK 512

// Ethernet port dialog.
#define IDC_ADAPTER_LIST 516

// String table.
#define IDS_PORT_TABLE_TITLE 112
#define IDS_DUPLICATE_ENTRIES 128
#define IDS_INVALID_ENTRIES 129
#define IDS_PORT_SET_INCOMPLETE 133
#define IDS_INVALID_FIELD 145
// The protocol service restart: the question and its three failures.
#define IDS_RESTART_QUESTION 192
#define IDS_STACK_NOT_ACCESSIBLE 193
#define IDS_STACK_NOT_STOPPED 194
#define IDS_STACK_NOT_STARTED 195

// Row images of the Port Table dialog: a usable physical, virtual or
// point-to-point port, and an entry that is not used as it stands.
#define IDI_PORT_PHYSICAL 100
#define IDI_PORT_VIRTUAL 101
#define IDI_PORT_PTP 102
#define IDI_PORT_PROBLEM 103

// Dialog templates.
#define IDD_PORT_TABLE 100
#define IDD_ETHERNET_PORT 500
#define IDD_VIRTUAL_PORT 501

// BACnet/IP property sheet: its three pages and their controls. Ids 531,
// 539, 545 and 546 stand on more than one page with different meanings.
#define IDD_BIP_PORT_PAGE 502
#define IDD_BIP_BBMD_PAGE 503
#define IDD_BIP_FOREIGN_DEVICE_PAGE 504
#define IDC_BIP_ADDRESS 530
#define IDC_BIP_UDP_PORT 531
#define IDC_BIP_TWO_HOPS 533
#define IDC_BIP_BBMD 534
#define IDC_BIP_FDT_ENABLE 535
#define IDC_BIP_MAX_FDT_ENTRIES 536
#define IDC_BIP_BDT_LIST 537
#define IDC_BIP_SUBNET_MASK 538
#define IDC_BIP_IP_ADDRESS 539
#define IDC_BIP_BDT_MASK 540
#define IDC_BIP_BDT_ADD 541
#define IDC_BIP_BDT_REMOVE 542
#define IDC_BIP_BDT_GROUP 543
#define IDC_BIP_SUBNET_LABEL 544
#define IDC_BIP_IP_LABEL 545
#define IDC_BIP_UDP_LABEL 546
#define IDC_BIP_BDT_MASK_LABEL 547
#define IDC_BIP_FDT_GROUP 548
#define IDC_BIP_MAX_FDT_LABEL 549
#define IDC_BIP_TTL_LABEL 550
#define IDC_BIP_REMOTE_GROUP 551
#define IDC_BIP_FOREIGN_DEVICE 552
#define IDC_BIP_STORED_FOREIGN_DEVICE 553
#define IDC_BIP_PERMANENT 554
#define IDC_BIP_TIME_TO_LIVE 555
#define IDS_BIP_SHEET_CAPTION 114
#define IDS_BDT_ENTRY_INVALID 151
#define IDS_BDT_DUPLICATES 152
#define IDS_BDT_ENTRY_EXISTS 153
// ARCNET (COM20020) port dialog and its messages.
#define IDD_COM20020_PORT 506
#define IDC_COM20020_IRQ 600
#define IDC_COM20020_IO_PORT 601
#define IDC_COM20020_NODE_ID 602
#define IDC_COM20020_BACKPLANE 603
#define IDC_COM20020_DATA_RATE 604
#define IDC_COM20020_NAKS_4 608
#define IDC_COM20020_NAKS_128 609
#define IDC_COM20020_TIMEOUT_NORMAL 610
#define IDC_COM20020_TIMEOUT_X2 611
#define IDC_COM20020_TIMEOUT_X8 612
#define IDC_COM20020_TIMEOUT_X16 613
#define IDC_COM20020_SLOW_ARBITRATION 614
#define IDS_INVALID_IO_ADDRESS 160
#define IDS_INVALID_NODE_ID 161
#define IDS_INVALID_IRQ 162

// Point-to-point port dialog.
#define IDD_PTP_PORT 505
#define IDC_COM_PORT 560
#define IDC_COM_SETTINGS 561
#define IDC_NETWORK_LIST 562
#define IDC_NETWORK_ADD 563
#define IDC_NETWORK_REMOVE 564
#define IDC_PASSWORD_LIST 565
#define IDC_PASSWORD_ADD 566
#define IDC_PASSWORD_REMOVE 567
#define IDC_OUT_PASSWORD 568
#define IDC_PERFORMANCE 569
#define IDC_PERMANENT 570
#define IDC_MODE_TEXT 571
#define IDC_DIAL_TEXT 572
#define IDC_DIAL 573
#define IDC_MODEM 574

// Dial and Modem dialog.
#define IDD_DIAL 507
#define IDC_PHONES 630
#define IDC_RETRIES 631
#define IDC_INTERVAL 632
#define IDC_RINGS 633
#define IDC_INITSTR 634
#define IDC_DIALSTR 635

// HTTP point-to-point port dialog (with 562 to 564, 569 and 570 above).
#define IDD_OHTTP_PTP_PORT 508
#define IDC_CLIENT_ID 575
#define IDC_CLIENT 640
#define IDC_SERVER 641
#define IDC_SERVER_PORT 642
#define IDC_SERVER_HOST 643
#define IDC_PROXY_PORT 644
#define IDC_PROXY_HOST 645

// Point-to-point messages.
#define IDS_SERIAL_SETTINGS_INVALID 146
#define IDS_PROCEED_WITH_DEFAULTS 147
#define IDS_INCOMING_PASSWORD_LONG 148
#define IDS_OUTGOING_PASSWORD_LONG 149
#define IDS_CANNOT_CONFIGURE_SERIAL 170
#define IDS_NO_PHONE_NUMBERS 171
#define IDS_RETRIES_NEGATIVE 172
#define IDS_DIAL_SETTINGS_LONG 173
#define IDS_SECONDARY_INFO_LONG 174
#define IDS_HOST_NAMES_LONG 175
