#include "calc/wholefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kestrel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

Result<std::string> Fail(const char* what, int error, WholeFileError code)
{
    return Result<std::string>::Fail(std::string(what) + ": " + std::strerror(error), code);
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return Fail("Cannot open file", errno, WHOLEFILE_CANNOT_OPEN);
    const auto tooLarge = [&] {
        return Result<std::string>::Fail("File is larger than " + std::to_string(maxBytes >> 20) + " MiB",
                                         WHOLEFILE_TOO_LARGE);
    };
    std::string bytes;
    // Sized once from the file's length where it has one, so that a large
    // file is not held twice while the buffer grows.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > maxBytes)
        return tooLarge();
    if (!ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char block[64 * 1024];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, f.get())) > 0) {
        if (n > maxBytes - bytes.size())
            return tooLarge();
        bytes.append(block, n);
    }
    if (std::ferror(f.get()))
        return Fail("Cannot read file", errno, WHOLEFILE_CANNOT_READ);
    return bytes;
}

} // namespace kestrel
