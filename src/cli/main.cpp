// kestrel-cli: the program's core for batch work and acceptance tests.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "cli/command.h"

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

std::string Out(const std::string& cp1252)
{
    return Cp1252ToUtf8(cp1252);
}

} // namespace kestrel::cli

int main(int argc, char** argv)
{
    using namespace kestrel::cli;
    if (argc < 2)
        return Usage(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        Usage(stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const auto& c : Registry())
        if (name == c.name)
            return c.run(args);
    std::cerr << "Error: unknown command '" << name << "'\n";
    return Usage(stderr);
}
