// Puts a saved Port Table into effect: stops the stack's service, restarts
// its data-link driver's service and starts the stack's service again,
// through the Windows service control manager.
#pragma once
#include <windows.h>

// Asks the user first (Yes/No) when ask is true; on Yes, or without asking,
// runs RestartStackService under the wait cursor.
void RestartProtocolServices(bool ask);

// Stops "orvanta", restarts "vemto", starts "orvanta", and reports the last
// failure met in a message box. False only when the service control manager
// cannot be opened (nothing is shown then).
bool RestartStackService();

// Stops and starts "vemto"; failures are not reported. False only when the
// service control manager cannot be opened.
bool RestartDriverService();

// Polls the service every 100 ms until it reaches wanted (true), moves to a
// state other than the one it started from, fails to answer, or more than
// 10 seconds have passed (false). The starting state is status's, when given
// (the record a control filled), else the service's own.
bool WaitForServiceState(SC_HANDLE service, DWORD wanted, SERVICE_STATUS* status);
