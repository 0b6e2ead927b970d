#include "support/testfiles.h"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "calc/systemfile.h"

namespace kestrel::test {

TempDir::TempDir()
{
    // Made by the file layer's own exclusive creation, then replaced by a
    // folder of that name: no other test run can have chosen it.
    const std::string pattern = PathText(std::filesystem::temp_directory_path() / "kestrel-test-XXXXXX");
    const Result<CreatedFile> marker = CreateUniqueFile(pattern);
    if (!marker)
        throw std::runtime_error("Cannot make a test folder: " + marker.errorText());
    CloseDescriptor(marker->fd);
    m_path = marker->path + ".d";
    std::error_code ec;
    if (!std::filesystem::create_directory(SystemPath(m_path), ec))
        throw std::runtime_error("Cannot make the test folder " + m_path);
    (void)RemoveFile(marker->path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(SystemPath(m_path), ec);
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(SystemPath(path), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(SystemPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(SystemPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(SystemPath(path), std::ios::binary | std::ios::trunc);
    out << text;
}

std::set<std::string> FolderEntries(const std::string& folder)
{
    const auto names = FolderNames(folder);
    if (!names)
        throw std::runtime_error(names.errorText());
    return std::set<std::string>(names->begin(), names->end());
}

std::vector<unsigned char> GunzipFile(const std::string& path)
{
    std::vector<unsigned char> out;
    const Result<int> fd = OpenRegularFile(path);
    gzFile f = fd ? gzdopen(fd.value(), "rb") : nullptr;
    if (!f)
        return out;
    unsigned char buf[65536];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0)
        out.insert(out.end(), buf, buf + n);
    gzclose(f);
    return out;
}

void GzipFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    const Result<int> fd = OpenFileForWriting(path);
    gzFile f = fd ? gzdopen(fd.value(), "wb") : nullptr;
    if (!f)
        throw std::runtime_error("Cannot write " + path);
    if (!bytes.empty())
        gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(f);
}

std::vector<std::string> SplitText(const std::string& text, const std::string& by)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(by, start)) != std::string::npos; start = at + by.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace kestrel::test
