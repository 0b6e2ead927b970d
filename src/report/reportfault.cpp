#include "report/reportfault.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <new>
#include <vector>

namespace kestrel {

void ThrowReportFault(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string message;
    if (n > 0) {
        std::vector<char> buffer(static_cast<size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        message.assign(buffer.data(), static_cast<size_t>(n));
    }
    va_end(again);
    throw CReportFault(message);
}

Status CatchReportFault(const std::function<void()>& work)
{
    try {
        work();
        return Ok();
    } catch (const CReportFault& fault) {
        return Status::Fail(fault.what());
    } catch (const std::bad_alloc&) {
        // The engine's own words for a compiled form it could not build.
        return Status::Fail("Unable to allocate memory for SEQ");
    } catch (const std::exception& e) {
        return Status::Fail(e.what());
    } catch (...) {
        return Status::Fail("The report could not be laid out");
    }
}

} // namespace kestrel
