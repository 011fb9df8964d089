// The lines the process writes with OutputDebugStringA while an object of
// this class exists. The system raises DBG_PRINTEXCEPTION_C for each line;
// a vectored handler sees it first and lets it pass on.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class DebugOutput {
public:
    DebugOutput();
    ~DebugOutput();
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // The lines written so far that begin with "TOLMARIN: ".
    std::vector<std::string> Lines() const;
    // How often line was written.
    int Count(const std::string& line) const;

private:
    void* handler;
};
