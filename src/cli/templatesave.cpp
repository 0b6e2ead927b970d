// template-save: writes a template text file as a section of a template
// section file, as the template view's save does.

#include <fstream>
#include <iostream>
#include <iterator>

#include "calc/codepage.h"
#include "cli/command.h"
#include "report/sectionfile.h"

namespace kestrel::cli {

namespace {

int RunTemplateSave(const std::vector<std::string>& args)
{
    if (args.size() != 3) {
        std::cerr << "usage: kestrel-cli template-save CFG NAME TEXTFILE\n";
        return 2;
    }
    const std::string& cfg = args[0];
    const auto name = Utf8ToCp1252(args[1]);
    if (!name) {
        PrintError("NAME: " + name.errorText());
        return 2;
    }
    std::ifstream file(args[2], std::ios::binary);
    if (!file) {
        PrintError("Cannot open file " + args[2]);
        return 2;
    }
    const std::string edited{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // The text file may come with CR LF line ends, as an edit control's text
    // does; the section holds LF lines.
    const auto outcome = SaveTemplateSection(name.value(), TemplateTextForStorage(edited), cfg);
    std::cout << Out(outcome.message) << '\n';
    switch (outcome.result) {
    case SectionSaveResult::Replaced:
    case SectionSaveResult::Added: return 0;
    case SectionSaveResult::CannotOpenFile:
    case SectionSaveResult::CannotOpenTemp: return 2;
    case SectionSaveResult::CannotWriteTemp:
    case SectionSaveResult::CannotReplaceFile: return 3;
    }
    return 3;
}

const bool registered = RegisterCommand({"template-save", "CFG NAME TEXTFILE", RunTemplateSave});

} // namespace

} // namespace kestrel::cli
