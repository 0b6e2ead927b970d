// kestrel-cli format-number and format-date: the shared formats applied to
// values given on the command line.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

#include "calc/formats.h"
#include "cli/command.h"
#include "model/contract/values.h"

namespace kestrel::cli {

namespace {

template <class T> bool ParseWhole(const std::string& text, T& value)
{
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

int RunFormatNumber(const std::vector<std::string>& args)
{
    double value = 0.0;
    int w = 0;
    int p = 0;
    bool commas = false;
    bool money = false;
    if (args.size() < 3) {
        PrintError("usage: format-number VALUE W P [--commas] [--money]");
        return 2;
    }
    if (args[0] == "blank")
        SetBlankValue(value);
    else if (!ParseWhole(args[0], value)) {
        PrintError("not a number: " + args[0]);
        return 2;
    }
    if (!ParseWhole(args[1], w) || !ParseWhole(args[2], p)) {
        PrintError("W and P must be whole numbers");
        return 2;
    }
    for (size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--commas")
            commas = true;
        else if (args[i] == "--money")
            money = true;
        else {
            PrintError("unknown option: " + args[i]);
            return 2;
        }
    }
    std::printf("%s\n", FormatNumber(value, w, p, commas, money).c_str());
    return 0;
}

int RunFormatDate(const std::vector<std::string>& args)
{
    uint32_t seconds = 0;
    int style = 0;
    if (args.size() != 2 || !ParseWhole(args[0], seconds) || !ParseWhole(args[1], style)) {
        PrintError("usage: format-date SECONDS STYLE (SECONDS from 0 to 4294967295)");
        return 2;
    }
    std::printf("%s\n", FormatDate(seconds, style).c_str());
    return 0;
}

const bool registeredNumber =
    RegisterCommand({"format-number", "VALUE W P [--commas] [--money]", RunFormatNumber});
const bool registeredDate = RegisterCommand({"format-date", "SECONDS STYLE", RunFormatDate});

} // namespace

} // namespace kestrel::cli
