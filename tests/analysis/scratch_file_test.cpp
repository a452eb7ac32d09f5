// In-place rewriting of the analysis files: exact bytes, the same file, the error numbers.
#include "analysis/scratch_file.h"

#include <sys/stat.h>

#include <filesystem>
#include <iterator>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tavro::analysis {
namespace {

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0);
    return st.st_ino;
}

TEST(ScratchFile, RewritesInPlaceToTheExactNewBytes) {
    test::TempDir dir;
    const std::string path = dir.File("DAMTMP.DAT");
    ino_t inode = 0;
    // A shorter text leaves no tail of the longer one.
    for (const std::string& text :
         {std::string("first version, rather long\r\n"), std::string("short\r\n"),
          std::string(70000, 'x'), std::string()}) {
        ASSERT_EQ(WriteScratchFile(path, text), 0);
        EXPECT_EQ(dir.Read("DAMTMP.DAT"), text);
        if (inode == 0) inode = InodeOf(path);
        EXPECT_EQ(InodeOf(path), inode);  // the same file throughout: never replaced
    }
    // No temporary file beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ScratchFile, FailuresGiveTheFileErrorNumbers) {
    test::TempDir dir;
    EXPECT_EQ(WriteScratchFile("/nonexistent-tavro-dir/VORNA.STR", "x"), 76);  // path not found
    std::filesystem::create_directory(dir.File("VORNA.LOA"));
    EXPECT_EQ(WriteScratchFile(dir.File("VORNA.LOA"), "x"), 54);  // a directory in the way
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(WriteScratchFile("/dev/full", "x"), 57);  // device full
    }
}

}  // namespace
}  // namespace tavro::analysis
