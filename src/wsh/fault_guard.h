// A guard against access violations while touching memory that a caller
// handed in. The compiler offers no structured exception handling, so the
// guard links its own exception frame into the thread's chain for the time
// of the access.
#pragma once

// Touches the caller's memory. Must do all of its reads and writes itself:
// the guard covers only what happens inside this call.
typedef void (*GuardedAccess)(void* argument);

// Runs access(argument). True when it ran to its end; false when an access
// violation cut it short (whatever it had written by then stays written).
// Any other exception passes on to the frames outside. Thread-safe: the
// frame lives on the calling thread's stack and in its own chain; guards
// nest.
bool RunGuarded(GuardedAccess access, void* argument);
