// The lines "TOLMARIN: ..." that the process writes with OutputDebugStringA while an object of this
// class exists: a vectored handler sees each DBG_PRINTEXCEPTION_C first and lets it pass on.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DebugOutput {
    DebugOutput() : handler(AddVectoredExceptionHandler(1, Record)) { Written.clear(); }
    ~DebugOutput() { RemoveVectoredExceptionHandler(handler); }
    const std::vector<std::string>& Lines() const { return Written; }
    static LONG CALLBACK Record(EXCEPTION_POINTERS* exception)
    {
        const EXCEPTION_RECORD* record = exception->ExceptionRecord;
        const char* line = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2 &&
            !strncmp(line, "TOLMARIN: ", 10))
            Written.push_back(line);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline std::vector<std::string> Written;
    void* handler;
};
