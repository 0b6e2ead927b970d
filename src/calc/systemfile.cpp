// The parts of the system's files that are the same on every system
// (calc/systemfile.h).

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

#include "calc/systemfile.h"

namespace kestrel {

namespace {

// Tries before a folder is taken for one where no new name can be made.
constexpr int kUniqueTries = 100;

char RandomNameCharacter()
{
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 generator([] {
        std::seed_seq seed{uint64_t(std::random_device{}()),
                           uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()),
                           uint64_t(std::hash<std::thread::id>{}(std::this_thread::get_id()))};
        return std::mt19937_64(seed);
    }());
    return kCharacters[generator() % (sizeof kCharacters - 1)];
}

} // namespace

std::string WithSystemReason(const std::string& what, int error)
{
    return error != 0 ? what + ": " + SystemErrorText(error) : what;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    const Result<FileStatus> sa = StatPath(a);
    const Result<FileStatus> sb = StatPath(b);
    return sa && sb && sa->kind != FileKind::Missing && sb->kind != FileKind::Missing &&
           sa->device == sb->device && sa->node == sb->node;
}

Result<CreatedFile> CreateUniqueFile(const std::string& pattern, unsigned permissions)
{
    const std::size_t at = pattern.rfind("XXXXXX");
    if (at == std::string::npos)
        return Result<CreatedFile>::Fail("Cannot create a file named " + pattern, EINVAL);
    std::string path = pattern;
    for (int attempt = 0; attempt < kUniqueTries; ++attempt) {
        for (std::size_t i = 0; i < 6; ++i)
            path[at + i] = RandomNameCharacter();
        // Created exclusively: an entry of that name, a link included, is
        // never opened.
        Result<int> created = CreateExclusiveFile(path, permissions);
        if (created)
            return CreatedFile{path, created.value()};
        if (created.errorCode() != EEXIST)
            return created.error();
    }
    return Result<CreatedFile>::Fail(WithSystemReason("Cannot create file", EEXIST), EEXIST);
}

} // namespace kestrel
