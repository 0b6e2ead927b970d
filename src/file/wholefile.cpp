#include "file/wholefile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrel {

namespace {

std::string Reason(const char* what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return Result<std::string>::Fail(Reason("Cannot open file", errno));
    std::string bytes;
    char block[64 * 1024];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
        if (n > maxBytes - bytes.size()) {
            std::fclose(f);
            return Result<std::string>::Fail("File is larger than " + std::to_string(maxBytes >> 20) +
                                             " MiB");
        }
        bytes.append(block, n);
    }
    const int reason = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (reason != 0)
        return Result<std::string>::Fail(Reason("Cannot read file", reason));
    return bytes;
}

} // namespace kestrel
