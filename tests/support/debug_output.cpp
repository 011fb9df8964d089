#include "support/debug_output.h"

namespace {

std::vector<std::string> written;

LONG CALLBACK RecordLine(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        written.push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutput::DebugOutput() : handler(nullptr)
{
    written.clear();
    handler = AddVectoredExceptionHandler(1, RecordLine);
}

DebugOutput::~DebugOutput() { RemoveVectoredExceptionHandler(handler); }

std::vector<std::string> DebugOutput::Lines() const
{
    std::vector<std::string> lines;
    for (const std::string& line : written)
        if (line.compare(0, 10, "TOLMARIN: ") == 0)
            lines.push_back(line);
    return lines;
}

int DebugOutput::Count(const std::string& line) const
{
    int count = 0;
    for (const std::string& written : Lines())
        count += written == line;
    return count;
}
