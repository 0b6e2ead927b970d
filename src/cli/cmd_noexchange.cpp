// export and import-quote in a build without the spreadsheet exchange (the
// Windows build: Debian has no libxlsxwriter, libzip or expat for it). They
// say so rather than being unknown.

#include "cli/command.h"
#include "cli/exchangecommands.h"

namespace kestrel::cli {

namespace {

constexpr int kExitUnavailable = 2;

int Unavailable(const char* command)
{
    PrintError(std::string(command) +
               " needs the spreadsheet exchange (libxlsxwriter, libzip, expat), which this build lacks");
    return kExitUnavailable;
}

const bool kRegistered =
    RegisterCommand(
        {"export", kExportUsage, [](const std::vector<std::string>&) { return Unavailable("export"); }}) &&
    RegisterCommand({"import-quote", kImportQuoteUsage,
                     [](const std::vector<std::string>&) { return Unavailable("import-quote"); }});

} // namespace

} // namespace kestrel::cli
