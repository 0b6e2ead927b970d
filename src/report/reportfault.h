#pragma once
// A template or report fault: the message the user sees. Raised inside the
// report engine and turned into a returned value at its public entry points,
// so that a bad template ends a print job, never the program.

#include <string>

namespace kestrel {

class CReportFault {
public:
    explicit CReportFault(std::string message) : m_message(std::move(message)) {}
    const std::string& Message() const { return m_message; }

private:
    std::string m_message;
};

// Throws a CReportFault with a printf-style message.
[[noreturn]] void ThrowReportFault(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace kestrel
