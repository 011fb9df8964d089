// tolmarin.dll loaded through LoadLibraryA for the length of a scope, the
// way the Windows Sockets framework and host programs load it.
#pragma once
#include <windows.h>

class LoadedDll {
public:
    LoadedDll() : module(LoadLibraryA("tolmarin.dll")), error(GetLastError()) {}
    ~LoadedDll()
    {
        if (module)
            FreeLibrary(module);
    }
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;

    HMODULE Module() const { return module; }
    // The load's last error (1114 when the module refused to attach).
    DWORD Error() const { return error; }

    // An export by its undecorated name, or null.
    template <class Function>
    Function Get(const char* name) const
    {
        return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                      : nullptr;
    }

    typedef BOOL(WINAPI* IoctlFunction)(DWORD, void*);
    IoctlFunction Ioctl() const { return Get<IoctlFunction>("OrvantaPropertiesIoctl"); }

private:
    HMODULE module;
    DWORD error;
};
