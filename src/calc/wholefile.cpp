#include "calc/wholefile.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "calc/systemfile.h"

namespace kestrel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

ErrorInfo OpenFailure(const ErrorInfo& error)
{
    const bool notAFile = error.text == kFolderText || error.text == kNotRegularFileText;
    return ErrorInfo{error.text, notAFile ? WHOLEFILE_NOT_REGULAR : WHOLEFILE_CANNOT_OPEN};
}

} // namespace

Result<std::FILE*> OpenRegularFileStream(const std::string& path)
{
    const Result<int> fd = OpenRegularFile(path);
    if (!fd)
        return OpenFailure(fd.error());
    Result<std::FILE*> stream = OpenStream(fd.value(), "rb");
    if (!stream)
        return OpenFailure(stream.error());
    return stream;
}

Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    const Result<int> fd = OpenRegularFile(path);
    if (!fd)
        return OpenFailure(fd.error());
    const auto tooLarge = [&] {
        return Result<std::string>::Fail("File is larger than " + std::to_string(maxBytes >> 20) + " MiB",
                                         WHOLEFILE_TOO_LARGE);
    };
    // Sized once from the file's length, so that a large file is not held
    // twice while the buffer grows.
    const Result<FileStatus> status = StatDescriptor(fd.value());
    if (status && status->size > maxBytes) {
        CloseDescriptor(fd.value());
        return tooLarge();
    }
    Result<std::FILE*> stream = OpenStream(fd.value(), "rb");
    if (!stream)
        return OpenFailure(stream.error());
    std::unique_ptr<std::FILE, FileCloser> f(stream.value());
    std::string bytes;
    if (status)
        bytes.reserve(static_cast<std::size_t>(status->size));
    char block[64 * 1024];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, f.get())) > 0) {
        if (n > maxBytes - bytes.size())
            return tooLarge();
        bytes.append(block, n);
    }
    if (std::ferror(f.get()))
        return Result<std::string>::Fail(WithSystemReason("Cannot read file", errno), WHOLEFILE_CANNOT_READ);
    return bytes;
}

} // namespace kestrel
