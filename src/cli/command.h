#pragma once
// The commands of kestrel-cli. Each command lives in its own source file and
// registers itself; main() dispatches on the first argument.

#include <string>
#include <vector>

namespace kestrel::cli {

using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
    const char* name;
    const char* usage; // arguments after the name, for the help text
    CommandFn run;
};

// Exit status of an output that cannot be written (a file, or standard
// output itself).
constexpr int kExitWriteFailed = 3;
// Exit status of a failure no command foresaw: an exception that escaped,
// memory that ran out.
constexpr int kExitInternal = 70;

// Registers a command at static initialisation; returns true.
bool RegisterCommand(const Command& command);

// Prints "Error: <text>" on stderr.
void PrintError(const std::string& text);
// Prints "Error: <path>: <text>" on stderr, for an error about a file.
void PrintFileError(const std::string& path, const std::string& text);
// An output that is one of the command's inputs (by its own name, another
// path or a link) would destroy what the output is made from: true, with
// "Error: <out>: The output file is the <what>" printed, when `out` names
// the file `in` names. An empty output and "-" (standard output) are none.
bool OutputIsInput(const std::string& in, const std::string& out, const std::string& what);
// Windows-1252 model text to UTF-8 for printing.
std::string Out(const std::string& cp1252);
// Flushes standard output; false when what was printed could not all be
// written (a full disk, a reader that went away), with "Error: Cannot write
// standard output[: <reason>]" printed on stderr once in the run. Both
// streams are looked at, since commands print through either.
[[nodiscard]] bool StandardOutputWritten();
// The same for a message line that may quote outside text: control
// characters (a NUL, an escape) are shown as their symbols ("\u2400" for
// NUL), never printed as they are.
std::string OutLine(const std::string& cp1252);

} // namespace kestrel::cli
