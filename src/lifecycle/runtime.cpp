// The few C++ runtime pieces the library uses, supplied here so that the
// static link does not pull in the exception machinery, the thread library
// and the name demangler behind the runtime's own versions: the DLL is
// loaded into every process that opens a socket of its family and stays
// small. Nothing here throws.
#include <windows.h>

#include <new>
#include <stdlib.h>

void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }

void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }

void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }

// Called only if a pure virtual operation were reached through a
// half-built or half-destroyed object.
extern "C" void __cxa_pure_virtual()
{
    OutputDebugStringA("TOLMARIN: pure virtual call.\n");
    abort();
}
