#include "core/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/temp_dir.h"

namespace tavro::core {
namespace {

using test::TempDir;

class FileIo : public ::testing::Test {
protected:
    TempDir dir;
};

// Every file of the directory, so a test can tell that no temporary was left behind.
std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FileIo, WritesAndReadsBytesExactlyIncludingCrLfAndNul) {
    const std::string bytes("A\r\nB\0C\n", 7);
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), bytes), 0);
    EXPECT_EQ(dir.Read("A.JOB"), bytes);
    ReadResult r = ReadWholeFile(dir.File("A.JOB"));
    EXPECT_EQ(std::pair(r.error, r.bytes), std::pair(0, bytes));
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), ""), 0);
    EXPECT_EQ(dir.Read("A.JOB"), "");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.JOB"});
}

TEST_F(FileIo, MissingFileDirectoryOrAFileThatIsADirectoryAreTheirErrors) {
    EXPECT_EQ(ReadWholeFile(dir.File("NONE.JOB")).error, 53);
    EXPECT_EQ(ReadWholeFile(dir.File("nodir/NONE.JOB")).error, 76);
    EXPECT_EQ(WriteFileAtomically(dir.File("nodir/NEW.JOB"), "x"), 76);
    std::filesystem::create_directory(dir.File("D.JOB"));
    EXPECT_EQ(ReadWholeFile(dir.File("D.JOB")).error, 54);
    EXPECT_EQ(WriteFileAtomically(dir.File("D.JOB"), "x"), 54);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("D.JOB")));
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"D.JOB"});
}

TEST_F(FileIo, FailureAtAnyStepLeavesTheOldFileAndNoTemporary) {
    const std::string old("old\r\ncontent\r\n");
    dir.Write("A.NTS", old);
    for (const WriteFaults& f : {WriteFaults{ENOSPC, 0, 0}, {0, ENOSPC, 0}, {0, 0, ENOSPC}}) {
        EXPECT_EQ(WriteFileAtomically(dir.File("A.NTS"), "new bytes", &f), 57);
        EXPECT_EQ(dir.Read("A.NTS"), old);
        EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.NTS"});
    }
    // A failed first write leaves no file at all.
    const WriteFaults eio{0, EIO, 0};
    EXPECT_EQ(WriteFileAtomically(dir.File("NEW.JOB"), "x", &eio), 75) << "EIO is not a full disk";
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.NTS"});
}

TEST_F(FileIo, ReplacementKeepsThePermissionsOfTheOldFile) {
    namespace fs = std::filesystem;
    dir.Write("A.JOB", "old");
    fs::permissions(dir.File("A.JOB"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), "new"), 0);
    EXPECT_EQ(fs::status(dir.File("A.JOB")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileIo, ErrnoValuesMapOntoFileErrorNumbers) {
    const std::string inDir = dir.File("X.JOB");
    EXPECT_EQ(FileErrorNumberFromErrno(ENOENT, dir.File("gone/X.JOB")), 76);
    const std::pair<int, int> cases[] = {
        {ENOENT, 53}, {ENOTDIR, 76},      {EACCES, 54}, {EPERM, 54},  {EROFS, 54}, {EISDIR, 54},
        {EBUSY, 55},  {ETXTBSY, 55},      {ENOSPC, 57}, {EDQUOT, 57}, {EIO, 75},   {EMFILE, 75},
        {EINVAL, 64}, {ENAMETOOLONG, 64}, {EILSEQ, 64}, {ENXIO, 68},  {ENODEV, 68}};
    for (auto [error, number] : cases)
        EXPECT_EQ(FileErrorNumberFromErrno(error, inDir), number) << error;
}

// A sparse file is refused by its size, not read (fifos and devices: the cli test).
TEST_F(FileIo, OnlyFilesOfBoundedSizeAreRead) {
    {
        std::ofstream big(dir.File("BIG.JOB"), std::ios::binary);
        big.seekp(3LL << 30);
        big.put('x');
    }
    ReadResult big = ReadWholeFile(dir.File("BIG.JOB"));
    EXPECT_EQ(
        std::tuple(big.error, big.detail, big.bytes),
        std::tuple(54, "It holds 3221225473 bytes, more than the 16777216 such a file can hold.",
                   ""));
    dir.Write("SMALL.JOB", "12345");
    EXPECT_EQ(ReadWholeFile(dir.File("SMALL.JOB"), 5).error, 0) << "the limit itself is allowed";
    EXPECT_EQ(ReadWholeFile(dir.File("SMALL.JOB"), 4).error, 54);
}

TEST_F(FileIo, ASaveRemovesTheTemporariesOfAKilledSaveOfThatFileOnly) {
    const std::string stale = TemporaryNameFor(dir.File("A.JOB"), "abc123");
    const std::string other = TemporaryNameFor(dir.File("B.JOB"), "abc123");
    for (const std::string& p : {stale, other}) {
        std::ofstream(p) << "half";
    }
    dir.Write("A.JOB.tmp-notours", "kept: not a temporary name of ours");
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), "new"), 0);
    EXPECT_EQ(FilesIn(dir),
              (std::vector<std::string>{"A.JOB", "A.JOB.tmp-notours", "B.JOB.tmp-abc123"}));
}

TEST_F(FileIo, ANameAtTheLimitCanStillBeSaved) {
    const std::string longName = std::string(NAME_MAX - 4, 'J') + ".JOB";
    dir.Write(longName, "old");
    ASSERT_EQ(ReadWholeFile(dir.File(longName)).error, 0);
    EXPECT_EQ(WriteFileAtomically(dir.File(longName), "new"), 0);
    EXPECT_EQ(dir.Read(longName), "new");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{longName});
}

// A read-only target is refused through the command line.
TEST_F(FileIo, ASpecialTargetIsNeitherReplacedNorRemoved) {
    ASSERT_EQ(mkfifo(dir.File("F.JOB").c_str(), 0644), 0);
    EXPECT_EQ(WriteFileAtomically(dir.File("F.JOB"), "x"), 54);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"F.JOB"}));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.File("F.JOB")));
    dir.Write("target", "keep me");
    std::filesystem::create_symlink(dir.File("target"), dir.File("L.JOB"));
    std::vector<int> errors;
    for (const char* name : {"L.JOB", "F.JOB", "target", "none"})
        errors.push_back(RemoveRegularFile(dir.File(name)));
    EXPECT_EQ(errors, (std::vector<int>{54, 54, 0, 53}));
}

}  // namespace
}  // namespace tavro::core
