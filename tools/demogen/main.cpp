// kestrel-demogen: writes the demo contract with its list files and bid
// library, or a large contract for the benchmarks.
//
//   kestrel-demogen [DIR]
//       DEMO.CON, DEMOAMND.CON (its amendment), WORKTYPE.LST, VENDORS.BIN and DEMO.kvl into DIR
//       (default: samples). The output is the same on every run.
//   kestrel-demogen --large OUT.CON [--items N] [--subs N] [--subitems N]
//       a contract of N items (default 5000) and N subcontractors (200)
//       with N sub-items each (20).

#include <cstdio>
#include <cstdlib>
#include <string>

#include "demogen/demogen.h"
#include "model/contract/contract.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: kestrel-demogen [DIR]\n"
                         "       kestrel-demogen --large OUT.CON [--items N] [--subs N] [--subitems N]\n");
    return 2;
}

bool ReadCount(const char* text, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 1000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

int Large(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string out = argv[2];
    kestrel::demo::LargeOptions options;
    for (int i = 3; i < argc; i += 2) {
        const std::string name = argv[i];
        int* target = name == "--items"      ? &options.items
                      : name == "--subs"     ? &options.subs
                      : name == "--subitems" ? &options.subItems
                                             : nullptr;
        if (!target || i + 1 >= argc || !ReadCount(argv[i + 1], *target))
            return Usage();
    }
    auto contract = kestrel::demo::BuildLargeContract(options);
    const std::string error = kestrel::demo::WriteContract(*contract, out);
    if (!error.empty()) {
        std::fprintf(stderr, "kestrel-demogen: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d items, %d subcontractors, %d sub-items each\n", out.c_str(), options.items,
                options.subs, options.subItems);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--large")
        return Large(argc, argv);
    if (argc > 2 || (argc == 2 && argv[1][0] == '-'))
        return Usage();
    const std::string dir = argc == 2 ? argv[1] : "samples";
    const std::string error = kestrel::demo::WriteDemoSamples(dir);
    if (!error.empty()) {
        std::fprintf(stderr, "kestrel-demogen: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s/DEMO.CON, DEMOAMND.CON, WORKTYPE.LST, VENDORS.BIN and DEMO.kvl\n", dir.c_str());
    return 0;
}
