// kestrel-cli lists FILE: the entries of a text or compressed pick-list file.

#include <iostream>

#include "cli/command.h"
#include "model/subcontract/listfile.h"

namespace kestrel::cli {

namespace {

int RunLists(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        PrintError("usage: kestrel-cli lists FILE");
        return 2;
    }
    std::vector<ListLine> lines;
    std::string error;
    if (!ReadListFile(args[0], lines, error)) {
        PrintError(Out(error));
        return 2;
    }
    for (const ListLine& l : lines)
        std::cout << Out(l.key) << '\t' << Out(l.entry) << '\n';
    return 0;
}

const bool registered = RegisterCommand({"lists", "FILE", RunLists});

} // namespace

} // namespace kestrel::cli
