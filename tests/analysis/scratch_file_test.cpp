// In-place rewriting of the analysis files: exact bytes, the same file, the error numbers.
#include "analysis/scratch_file.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tavro::analysis {
namespace {

using test::TempDir;

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0);
    return st.st_ino;
}

TEST(ScratchFile, RewritesInPlaceToTheExactNewBytes) {
    TempDir dir;
    const std::string path = dir.File("DAMTMP.DAT");
    ASSERT_EQ(WriteScratchFile(path, "first version, rather long\r\n"), 0);
    EXPECT_EQ(dir.Read("DAMTMP.DAT"), "first version, rather long\r\n");
    const ino_t inode = InodeOf(path);

    ASSERT_EQ(WriteScratchFile(path, "short\r\n"), 0);  // no tail of the longer text
    EXPECT_EQ(dir.Read("DAMTMP.DAT"), "short\r\n");
    ASSERT_EQ(WriteScratchFile(path, std::string(70000, 'x')), 0);
    EXPECT_EQ(dir.Read("DAMTMP.DAT"), std::string(70000, 'x'));
    ASSERT_EQ(WriteScratchFile(path, ""), 0);
    EXPECT_EQ(dir.Read("DAMTMP.DAT"), "");

    EXPECT_EQ(InodeOf(path), inode);  // the same file throughout: never replaced
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // no temporary file beside it
}

TEST(ScratchFile, FailuresGiveTheFileErrorNumbers) {
    TempDir dir;
    EXPECT_EQ(WriteScratchFile("/nonexistent-tavro-dir/VORNA.STR", "x"), 76);  // path not found
    std::filesystem::create_directory(dir.File("VORNA.LOA"));
    EXPECT_EQ(WriteScratchFile(dir.File("VORNA.LOA"), "x"), 54);  // a directory in the way
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(WriteScratchFile("/dev/full", "x"), 57);  // device full
    }
}

}  // namespace
}  // namespace tavro::analysis
