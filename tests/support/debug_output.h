// The lines "TOLMARIN: ..." that the process writes with OutputDebugStringA
// while an object of this class exists. The system raises
// DBG_PRINTEXCEPTION_C for each line; a vectored handler sees it first and
// lets it pass on.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class DebugOutput {
public:
    DebugOutput() : handler(AddVectoredExceptionHandler(1, Record)) { Written().clear(); }
    ~DebugOutput() { RemoveVectoredExceptionHandler(handler); }
    const std::vector<std::string>& Lines() const { return Written(); }

private:
    static std::vector<std::string>& Written()
    {
        static std::vector<std::string> lines;
        return lines;
    }
    static LONG CALLBACK Record(EXCEPTION_POINTERS* exception)
    {
        const EXCEPTION_RECORD* record = exception->ExceptionRecord;
        if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
            std::string line = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
            if (line.compare(0, 10, "TOLMARIN: ") == 0)
                Written().push_back(line);
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* handler;
};
