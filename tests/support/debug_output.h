// The lines "TOLMARIN: ..." that the process writes with OutputDebugStringA while an object of this
// class exists: a vectored handler sees each DBG_PRINTEXCEPTION_C first and lets it pass on.
#pragma once
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

class DebugOutput {
public:
    DebugOutput() : handler(AddVectoredExceptionHandler(1, Record)) { Written.clear(); }
    ~DebugOutput() { RemoveVectoredExceptionHandler(handler); }
    const std::vector<std::string>& Lines() const { return Written; }

private:
    static inline std::vector<std::string> Written;
    static LONG CALLBACK Record(EXCEPTION_POINTERS* exception)
    {
        const EXCEPTION_RECORD* record = exception->ExceptionRecord;
        const char* line = record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2
                               ? reinterpret_cast<const char*>(record->ExceptionInformation[1])
                               : "";
        if (strncmp(line, "TOLMARIN: ", 10) == 0)
            Written.push_back(line);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* handler;
};
