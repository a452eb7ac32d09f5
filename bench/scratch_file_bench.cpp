// One rewrite of an analysis file the size of a twenty-aircraft loads file: in place (how
// the analysis files are written) against the durable atomic save of the user's files, in
// a directory on the disk (beside the benchmark) and on tmpfs (/dev/shm).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis/scratch_file.h"
#include "core/file_io.h"

namespace {

// range(0): 0 = in place, 1 = atomic with fsync, 2 = atomic without fsync (the earlier
// way of writing the analysis files); range(1): 0 = disk, 1 = tmpfs.
void RewriteAnalysisFile(benchmark::State& st) {
    const std::filesystem::path root =
        st.range(1) == 1 ? std::filesystem::path("/dev/shm") : std::filesystem::current_path();
    std::string dir = (root / "tavro-scratch-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        st.SkipWithError("no scratch directory");
        return;
    }
    const std::string path = dir + "/VORNA.LOA";
    std::string text(24000, ' ');
    for (std::size_t i = 0; i < text.size(); i += 80) text[i] = '\n';
    int error = 0;
    for (auto _ : st) {
        text[100] = static_cast<char>('a' + (text[100] - 'a' + 1) % 26);
        switch (st.range(0)) {
            case 0:
                error |= tavro::analysis::WriteScratchFile(path, text);
                break;
            case 1:
                error |= tavro::core::WriteFileAtomically(path, text);
                break;
            default:
                error |= tavro::core::WriteFileAtomically(path, text, nullptr,
                                                          tavro::core::Durability::Scratch);
        }
    }
    if (error != 0) st.SkipWithError("a write failed");
    std::filesystem::remove_all(dir);
}
BENCHMARK(RewriteAnalysisFile)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"way", "tmpfs"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
