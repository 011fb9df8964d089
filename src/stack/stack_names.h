// Names and registry keys of the protocol stack that this library serves and
// configures: the service, its data-link driver and the keys they share with
// the library. Everything here is fixed by the installed stack.
#pragma once

// Service control manager names.
#define STACK_SERVICE_NAME "orvanta"
#define DRIVER_SERVICE_NAME "vemto"

// Transport device and protocol name given to the Windows Sockets framework.
#define STACK_DEVICE_NAME_W L"\\Device\\Vemto"
#define STACK_PROTOCOL_NAME_W L"Vemto"

// The Port Table, below HKEY_LOCAL_MACHINE; written here, read by the stack.
#define PORT_TABLE_KEY_PATH "SYSTEM\\CurrentControlSet\\Services\\Orvanta\\Parameters\\Nl\\Port_Table"

// Written by the stack's installation; "MajorVersion" and "MinorVersion".
#define STACK_VERSION_KEY_PATH "SOFTWARE\\Tessaline\\Orvanta\\CurrentVersion"
#define STACK_MAJOR_VERSION_VALUE "MajorVersion"
#define STACK_MINOR_VERSION_VALUE "MinorVersion"

// The driver's adapter bindings: the "Bind" list on Windows NT 4.0, and the
// "Bindings" subkey of each adapter's driver key, with value names beginning
// "VEMTO", on Windows 95/98.
#define DRIVER_LINKAGE_KEY_PATH "SYSTEM\\CurrentControlSet\\Services\\Vemto\\Linkage"
#define DRIVER_BIND_VALUE "Bind"
#define ADAPTER_BINDINGS_SUBKEY "Bindings"
#define ADAPTER_BINDING_PREFIX "VEMTO"

// Broadcast to all top-level windows when the rundll32 dialog has closed.
#define DIALOG_CLOSED_MESSAGE "Orvanta Properties Dialog Is Closed"

// Class string of every registry key the library creates.
#define STACK_KEY_CLASS "Orvanta"
