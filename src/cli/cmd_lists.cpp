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
    const auto file = ReadListFile(args[0]);
    if (!file) {
        PrintError(Out(file.errorText()));
        return 2;
    }
    file->VisitLines([](const ListLine& l) {
        std::cout << Out(std::string(l.key)) << '\t' << Out(std::string(l.entry)) << '\n';
    });
    return 0;
}

const bool registered = RegisterCommand({"lists", "FILE", RunLists});

} // namespace

} // namespace kestrel::cli
