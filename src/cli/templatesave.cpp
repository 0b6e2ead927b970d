// template-save: writes a template text file as a section of a template
// section file, as the template view's save does.

#include <cstddef>
#include <iostream>

#include "calc/codepage.h"
#include "calc/result.h"
#include "calc/wholefile.h"
#include "cli/command.h"
#include "report/sectionfile.h"

namespace kestrel::cli {

namespace {

constexpr int kExitNotSaved = 2;

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
    const Result<std::string> file = ReadWholeFile(args[2], kMaxTextFile);
    if (!file) {
        PrintFileError(args[2], file.errorText());
        return kExitNotSaved;
    }
    const std::string& edited = file.value();
    // The text file may come with CR LF line ends, as an edit control's text
    // does; the section holds LF lines.
    const auto outcome = SaveTemplateSection(name.value(), TemplateTextForStorage(edited), cfg);
    std::cout << Out(outcome.message) << '\n';
    switch (outcome.result) {
    case SectionSaveResult::Replaced:
    case SectionSaveResult::Added: return 0;
    case SectionSaveResult::CannotOpenFile:
    case SectionSaveResult::CannotOpenTemp:
    case SectionSaveResult::InvalidName: return kExitNotSaved;
    case SectionSaveResult::CannotWriteTemp:
    case SectionSaveResult::CannotReplaceFile: return kExitWriteFailed;
    }
    return kExitWriteFailed;
}

const bool registered = RegisterCommand({"template-save", "CFG NAME TEXTFILE", RunTemplateSave});

} // namespace

} // namespace kestrel::cli
