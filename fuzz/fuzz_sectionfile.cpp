// Template section file writer over arbitrary file contents, section names
// and template texts. Input: name length, text length, name, text, then the
// bytes of the existing section file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "report/sectionfile.h"

namespace {

const std::string& ScratchDir()
{
    static const std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "fuzz-section-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        return tmpl + "/";
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    if (size < 2)
        return 0;
    const std::size_t nameLen = std::min<std::size_t>(data[0] % 64, size - 2);
    const std::size_t textLen = std::min<std::size_t>(data[1], size - 2 - nameLen);
    const char* bytes = reinterpret_cast<const char*>(data) + 2;
    const std::string name(bytes, nameLen);
    const std::string text(bytes + nameLen, textLen);
    const std::string contents(bytes + nameLen + textLen, size - 2 - nameLen - textLen);

    const std::string path = ScratchDir() + "ZodEva.cfg";
    // With the high bit of the first byte, there is no section file yet and
    // the save is asked to make one.
    const bool missing = (data[0] & 0x80) != 0;
    std::filesystem::remove(path);
    if (!missing) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << contents;
    }
    const auto outcome = SaveTemplateSection(
        name, text, path, {}, missing ? MissingSectionFile::Create : MissingSectionFile::Refuse);
    std::ifstream in(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!IsValidSectionName(name)) {
        // Refused, and the file is as it was (or still not there).
        if (outcome.result != SectionSaveResult::InvalidName || written != (missing ? "" : contents) ||
            std::filesystem::exists(path) == missing)
            std::abort();
    } else if (missing) {
        // Made with the one section.
        const std::string section =
            "[" + name + "]\n" + text + (text.empty() || text.back() != '\n' ? "\n" : "");
        if (outcome.result != SectionSaveResult::Added || written != section)
            std::abort();
    } else {
        // The new section is in the file as given.
        if (!outcome.ok() || written.find("[" + name + "]\n" + text) == std::string::npos)
            std::abort();
    }
    // No temporary file stays beside the section file.
    if (std::distance(std::filesystem::directory_iterator(ScratchDir()),
                      std::filesystem::directory_iterator()) != (std::filesystem::exists(path) ? 1 : 0))
        std::abort();

    const std::string edit = TemplateTextForEdit(text);
    if (edit.size() >= kTemplateEditBuffer)
        std::abort();
    if (text.find('\r') == std::string::npos && TemplateTextForStorage(edit) != text)
        std::abort();
    return 0;
}
