#pragma once
// A template or report fault: the message the user sees. Thrown inside the
// report engine, from deep in compiling and printing, and caught at the
// module's entry points, which hand it on as a value; so a bad template ends
// a print job, never the program, and no exception leaves the module.

#include <functional>
#include <stdexcept>
#include <string>

#include "calc/result.h"

namespace kestrel {

class CReportFault : public std::runtime_error {
public:
    explicit CReportFault(const std::string& message) : std::runtime_error(message) {}
};

// Throws a CReportFault with a printf-style message.
[[noreturn]] void ThrowReportFault(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Runs work at an entry point of the module: a fault (or any other failure,
// such as running out of memory) comes back as the error with its message.
[[nodiscard]] Status CatchReportFault(const std::function<void()>& work);

} // namespace kestrel
