// The network adapters of Windows 95/98 that the data-link driver is bound
// to, found through the Setup API. An adapter is named by its driver key
// name ("Net\0007") without the class prefix: "0007".
#pragma once
#include <windows.h>
#include <setupapi.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/adapter_name.h"

// True when the adapter's driver key holds a "Bindings" subkey with a value
// whose name begins with "VEMTO" in any case.
bool IsAdapterBoundToDriver(HDEVINFO devices, SP_DEVINFO_DATA* device);

// The load check: keeps nic when a bound adapter has that name, otherwise
// names the first bound adapter. False, nic untouched, when no bound adapter
// has a name that can be read.
bool ReconcileAdapter9x(char (&nic)[NicCapacity]);

// Adds "<description>/<instance id>" of each bound adapter to combo and
// selects the one named nic. False when no adapter was added.
bool FillAdapterList9x(const char* nic, const ComboBox& combo);

// Copies the name of the adapter selected in the dialog's adapter list into
// nic. False, nic untouched, when none is selected or it is gone.
bool ReadAdapterChoice9x(char (&nic)[NicCapacity], HWND dialog);
