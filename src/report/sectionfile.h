#pragma once
// The template section file (conventionally ZodEva.cfg): a text file of
// "[name]" sections, each holding one report template. An edited template is
// written back into it, replacing the section of the same name or adding one.

#include <cstddef>
#include <string>
#include <string_view>

#include "file/safereplace.h"

namespace kestrel {

enum class SectionSaveResult {
    Replaced,
    Added,
    CannotOpenFile,    // the section file cannot be read (or is no regular file)
    CannotOpenTemp,    // the temporary file cannot be created
    CannotWriteTemp,   // writing the temporary file failed; the section file is untouched
    CannotReplaceFile, // the temporary file could not take the section file's place
    InvalidName,       // the name cannot be written as a section header
};

struct SectionSaveOutcome {
    SectionSaveResult result;
    std::string message; // the text shown to the user

    bool ok() const { return result == SectionSaveResult::Replaced || result == SectionSaveResult::Added; }
};

// Stem of the temporary file's name; each save makes its own unique file
// beside the section file.
inline constexpr const char* kSectionTempStem = "cfgwrite";
// The part of a line that tells a section header or a comment line from
// body text (the reader's line buffer). Lines are copied whole, whatever
// their length.
inline constexpr std::size_t kSectionMaxLine = 4095;
// Size of the edit control's text buffer, terminating NUL included.
inline constexpr std::size_t kTemplateEditBuffer = 36000;

// What a save does when there is no section file at the path yet: refuse
// ("Cannot open file"), or create it with the one section.
enum class MissingSectionFile { Refuse, Create };

// Writes template `text` (lines ending in LF) as section `name` of the file at
// `path`. The file is replaced only once the new contents are complete; on
// any failure it stays as it was. A name that is empty, begins with a blank
// or tab, or holds "[", "]", CR or LF is refused: its header could not be
// found again. `fault` lets tests make a step of the replacement fail.
[[nodiscard]] SectionSaveOutcome SaveTemplateSection(std::string_view name, std::string_view text,
                                                     const std::string& path, const ReplaceFault& fault = {},
                                                     MissingSectionFile missing = MissingSectionFile::Refuse);

// True when `name` can be written as a section header and found again.
bool IsValidSectionName(std::string_view name);

// True when `line` is a section header for `name`: "[", optional blanks or
// tabs, the name in any case, optional blanks or tabs, "]".
bool IsSectionHeaderFor(std::string_view line, std::string_view name);

// Stored template text to edit-control text: every LF becomes CR LF, cut to
// fit the edit buffer.
std::string TemplateTextForEdit(std::string_view stored);
// Edit-control text to stored text: a CR before an LF is dropped.
std::string TemplateTextForStorage(std::string_view edited);

} // namespace kestrel
