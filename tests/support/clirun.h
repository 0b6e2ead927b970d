#pragma once
// Runs the real kestrel-cli binary (path in the KESTREL_CLI macro) through
// the shell and captures its exit status, standard output and error.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/testfiles.h"

namespace kestrel::test {

// A shell word holding `s` literally.
inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

struct CliOptions {
    std::string setup;    // shell commands run first (limits, traps), each ending in ';'
    std::string stdoutTo; // where standard output goes instead of being captured
};

// `args` are already quoted as needed; the captured output goes through
// files in `scratch`.
inline CliRun RunCli(const TempDir& scratch, const std::string& args, const CliOptions& options = {})
{
    const std::string out = options.stdoutTo.empty() ? scratch.file("cli-stdout.txt") : options.stdoutTo;
    const std::string err = scratch.file("cli-stderr.txt");
    const std::string command = options.setup + " " + ShellQuote(KESTREL_CLI) + " " + args + " >" +
                                ShellQuote(out) + " 2>" + ShellQuote(err);
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, options.stdoutTo.empty() ? ReadText(out) : "",
               ReadText(err)};
    if (options.stdoutTo.empty())
        std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

// Runs kestrel-cli with these arguments, each quoted for the shell, its
// output captured in a scratch directory of its own.
inline CliRun RunCli(const std::vector<std::string>& args)
{
    const TempDir scratch;
    std::string words;
    for (const auto& a : args)
        words += (words.empty() ? "" : " ") + ShellQuote(a);
    return RunCli(scratch, words);
}

} // namespace kestrel::test
