// tolmarin.dll loaded through LoadLibraryA for the length of a scope, as the Windows Sockets framework
// and host programs load it; error is the load's last error (1114: the attach was refused).
#pragma once
#include <windows.h>

struct LoadedDll {
    LoadedDll() : module(LoadLibraryA("tolmarin.dll")), error(GetLastError()) {}
    ~LoadedDll() { module&& FreeLibrary(module); }
    LoadedDll(const LoadedDll&) = delete;
    // An export by its undecorated name, or null.
    template <class Function>
    Function Get(const char* name) const
    {
        return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                      : nullptr;
    }
    typedef BOOL(WINAPI* IoctlFunction)(DWORD, void*);
    IoctlFunction Ioctl() const { return Get<IoctlFunction>("OrvantaPropertiesIoctl"); }
    HMODULE module;
    DWORD error;
};
