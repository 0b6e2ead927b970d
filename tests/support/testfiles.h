#pragma once
// Files for tests: a temporary directory removed at the end of the test, and
// whole-file read and write helpers.

#include <set>
#include <string>
#include <vector>

namespace kestrel::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::vector<unsigned char> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
void WriteText(const std::string& path, const std::string& text);
// The parts of a text between the separators (a text without one is one
// part; a separator at the end leaves an empty last part).
std::vector<std::string> SplitText(const std::string& text, const std::string& by);
// The names in a folder, for tests that no file (a temporary one) is left.
std::set<std::string> FolderEntries(const std::string& folder);
// The uncompressed bytes of a gzip file (or the file's bytes when it is not
// compressed), read through zlib.
std::vector<unsigned char> GunzipFile(const std::string& path);
// Compresses bytes into a gzip file with zlib's gzip writer.
void GzipFile(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace kestrel::test
