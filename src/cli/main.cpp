// kestrel-cli: the program's core for batch work and acceptance tests.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "cli/command.h"
#include "file/platform.h"

namespace kestrel::cli {

namespace {
std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}

int Usage(FILE* to)
{
    auto commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    std::fprintf(to, "usage: kestrel-cli COMMAND ARGS...\n\ncommands:\n");
    for (const auto& c : commands)
        std::fprintf(to, "  %s %s\n", c.name, c.usage);
    return 2;
}
} // namespace

bool RegisterCommand(const Command& command)
{
    Registry().push_back(command);
    return true;
}

void PrintError(const std::string& text)
{
    std::cerr << "Error: " << text << "\n";
}

void PrintFileError(const std::string& path, const std::string& text)
{
    PrintError(path + ": " + text);
}

bool OutputIsInput(const std::string& in, const std::string& out, const std::string& what)
{
    if (out.empty() || out == "-" || !IsSameFile(in, out))
        return false;
    PrintFileError(out, "The output file is the " + what);
    return true;
}

std::string Out(const std::string& cp1252)
{
    return Cp1252ToUtf8(cp1252);
}

bool StandardOutputWritten()
{
    static bool told = false;
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int reason = errno;
    std::cout.flush();
    if (flushed && !std::ferror(stdout) && std::cout.good())
        return true;
    if (!told)
        PrintError(flushed ? "Cannot write standard output"
                           : WithSystemReason("Cannot write standard output", reason));
    told = true;
    return false;
}

std::string OutLine(const std::string& cp1252)
{
    const std::string_view text(cp1252);
    std::string shown;
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != 0x7F)
            continue;
        shown += Cp1252ToUtf8(text.substr(from, i - from));
        // The Control Pictures block: U+2400 plus the control, U+2421 for DEL.
        shown += {'\xE2', '\x90', static_cast<char>(byte == 0x7F ? 0xA1 : 0x80 + byte)};
        from = i + 1;
    }
    return shown + Cp1252ToUtf8(text.substr(from));
}

} // namespace kestrel::cli

namespace {

using namespace kestrel::cli;

int Dispatch(std::vector<std::string> args)
{
    if (args.empty())
        return Usage(stderr);
    const std::string name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        Usage(stdout);
        return 0;
    }
    args.erase(args.begin());
    for (const auto& c : Registry())
        if (name == c.name)
            return c.run(args);
    std::cerr << "Error: unknown command '" << name << "'\n";
    return Usage(stderr);
}

// What a command printed must have reached standard output: a full disk or
// a closed output is a write error like any other, whichever command wrote.
int CheckStandardOutput(int status)
{
    if (StandardOutputWritten())
        return status;
    // Statuses 0 and 1 tell what the lost output said (done, errors found, a
    // template fault); any other failure keeps its own status.
    return status == 0 || status == 1 ? kExitWriteFailed : status;
}

} // namespace

int main(int argc, char** argv)
{
    // No exception ends the program unreported: whatever escapes a command
    // becomes a message and an exit status. The messages are put out
    // without allocating, since memory may be what ran out.
    // A reader that went away (`| head`) makes a failed write, reported as
    // any other, instead of ending the program without a word; texts go out
    // as UTF-8 on every system.
    kestrel::PrepareStandardStreams();
    int status = 0;
    try {
        // The arguments as UTF-8, as every path and text in the program.
        status = Dispatch(kestrel::CommandLineArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        std::fputs("Error: Insufficient memory\n", stderr);
        return kExitInternal;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        return kExitInternal;
    } catch (...) {
        std::fputs("Error: Unexpected failure\n", stderr);
        return kExitInternal;
    }
    return CheckStandardOutput(status);
}
