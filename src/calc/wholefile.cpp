#include "calc/wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// This leaf sees no layer above it, so it asks the system itself rather
// than through the file layer's platform functions.
Result<std::FILE*> OpenRegularFileStream(const std::string& path)
{
    using R = Result<std::FILE*>;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail("Cannot open file", errno, WHOLEFILE_CANNOT_OPEN).error();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return R::Fail(folder ? "Is a folder, not a file" : "Not a regular file", WHOLEFILE_NOT_REGULAR);
    }
    std::FILE* f = nullptr;
    if (::fcntl(fd, F_SETFL, O_RDONLY) == 0)
        f = ::fdopen(fd, "rb");
    if (!f) {
        const int error = errno;
        ::close(fd);
        return Fail("Cannot open file", error, WHOLEFILE_CANNOT_OPEN).error();
    }
    return f;
}

Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    auto opened = OpenRegularFileStream(path);
    if (!opened)
        return opened.error();
    std::unique_ptr<std::FILE, FileCloser> f(opened.value());
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
