// The replay driver: runs fuzz targets on files without fuzzing, so that the committed seed
// corpora and every crash reproducer are run by the test suite (and under the sanitizers by
// make test-asan). Usage: corvane_fuzz_replay TARGET FILE-OR-FOLDER...
// Each file is one input; a folder gives its files in name order. A missing folder is
// skipped (a target may have no reproducers). Exits 1 for an unknown target or no input.
#include "FuzzTarget.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace corvane::fuzz {

namespace {
std::map<std::string, TargetFunction>& Targets()
{
    static std::map<std::string, TargetFunction> targets;
    return targets;
}
} // namespace

TargetRegistration::TargetRegistration(const char* name, TargetFunction function) { Targets()[name] = function; }

} // namespace corvane::fuzz

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    using corvane::fuzz::Targets;
    if (argc < 3 || !Targets().count(argv[1])) {
        std::fprintf(stderr, "usage: %s TARGET FILE-OR-FOLDER...\ntargets:", argv[0]);
        for (const auto& t : Targets()) std::fprintf(stderr, " %s", t.first.c_str());
        std::fprintf(stderr, "\n");
        return 1;
    }
    const auto target = Targets()[argv[1]];
    std::vector<fs::path> inputs;
    for (int i = 2; i < argc; ++i) {
        const fs::path p = argv[i];
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            std::vector<fs::path> files;
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(p, ec)) {
            inputs.push_back(p);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no input for %s\n", argv[0], argv[1]);
        return 1;
    }
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s\n", p.string().c_str());
        target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%s: %zu inputs replayed\n", argv[1], inputs.size());
    return 0;
}
