// template-save: writes a template text file as a section of a template
// section file, as the template view's save does.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "calc/codepage.h"
#include "calc/result.h"
#include "cli/command.h"
#include "report/sectionfile.h"

namespace kestrel::cli {

namespace {

constexpr int kExitNotSaved = 2;
// Far beyond any template a user edits, and small enough that an endless
// source (a device) ends in a message rather than in exhausted memory.
constexpr std::size_t kMaxTextFile = std::size_t(64) << 20;

std::string Reason(const char* what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

// The whole text file. A directory, a file that cannot be read or one
// larger than kMaxTextFile gives the reason instead.
Result<std::string> ReadTextFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return Result<std::string>::Fail(Reason("Cannot open file", errno));
    std::string text;
    char block[64 * 1024];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
        if (n > kMaxTextFile - text.size()) {
            std::fclose(f);
            return Result<std::string>::Fail("File is larger than " + std::to_string(kMaxTextFile >> 20) +
                                             " MiB");
        }
        text.append(block, n);
    }
    const int reason = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (reason != 0)
        return Result<std::string>::Fail(Reason("Cannot read file", reason));
    return text;
}

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
    const Result<std::string> file = ReadTextFile(args[2]);
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
