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

// Registers a command at static initialisation; returns true.
bool RegisterCommand(const Command& command);

// Prints "Error: <text>" on stderr.
void PrintError(const std::string& text);
// Windows-1252 model text to UTF-8 for printing.
std::string Out(const std::string& cp1252);

} // namespace kestrel::cli
