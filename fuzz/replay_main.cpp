// Runs a fuzz target over every file of its corpus folder, without
// libFuzzer, so that the inputs that once found a fault are replayed by the
// tests (and under the sanitizers in the sanitizer build). Usage:
// <target>_replay CORPUS_DIR. Fails when the folder holds no input, so that
// a wrong path cannot pass for a clean run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::recursive_directory_iterator(argv[1], ec))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    if (ec || inputs.empty()) {
        std::fprintf(stderr, "no inputs in %s\n", argv[1]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 2;
        }
        std::printf("%s\n", path.filename().c_str());
        std::fflush(stdout); // the name of an input that crashes is shown
        // A copy of exactly the input's size, so that a read past its end is
        // caught by the address sanitizer as libFuzzer would catch it.
        const std::vector<uint8_t> data(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
