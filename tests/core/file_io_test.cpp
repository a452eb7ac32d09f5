#include "core/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tavro::core {
namespace {

using test::TempDir;

// Every file of the directory, so a test can tell that no temporary was left behind.
std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileIo, WritesAndReadsBytesExactlyIncludingCrLfAndNul) {
    TempDir dir;
    const std::string bytes("A\r\nB\0C\n", 7);
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), bytes), 0);
    EXPECT_EQ(dir.Read("A.JOB"), bytes);
    ReadResult r = ReadWholeFile(dir.File("A.JOB"));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.bytes, bytes);
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), ""), 0);
    EXPECT_EQ(dir.Read("A.JOB"), "");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.JOB"});
}

TEST(FileIo, MissingFileDirectoryOrAFileThatIsADirectoryAreTheirErrors) {
    TempDir dir;
    EXPECT_EQ(ReadWholeFile(dir.File("NONE.JOB")).error, 53);
    EXPECT_EQ(ReadWholeFile(dir.File("nodir/NONE.JOB")).error, 76);
    EXPECT_EQ(WriteFileAtomically(dir.File("nodir/NEW.JOB"), "x"), 76);
    std::filesystem::create_directory(dir.File("D.JOB"));
    EXPECT_EQ(ReadWholeFile(dir.File("D.JOB")).error, 54);
    EXPECT_EQ(WriteFileAtomically(dir.File("D.JOB"), "x"), 54);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("D.JOB")));
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"D.JOB"});
}

TEST(FileIo, FailureAtAnyStepLeavesTheOldFileAndNoTemporary) {
    const WriteFaults faults[] = {{ENOSPC, 0, 0}, {0, ENOSPC, 0}, {0, 0, ENOSPC}};
    for (const WriteFaults& f : faults) {
        TempDir dir;
        const std::string old("old\r\ncontent\r\n");
        dir.Write("A.NTS", old);
        EXPECT_EQ(WriteFileAtomically(dir.File("A.NTS"), "new bytes", &f), 57);
        EXPECT_EQ(dir.Read("A.NTS"), old);
        EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.NTS"});
    }
}

TEST(FileIo, FailedFirstWriteLeavesNoFileAtAll) {
    TempDir dir;
    WriteFaults f{0, EIO, 0};
    EXPECT_EQ(WriteFileAtomically(dir.File("NEW.JOB"), "x", &f), 75) << "EIO is not a full disk";
    EXPECT_TRUE(FilesIn(dir).empty());
}

TEST(FileIo, ReplacementKeepsThePermissionsOfTheOldFile) {
    namespace fs = std::filesystem;
    TempDir dir;
    dir.Write("A.JOB", "old");
    fs::permissions(dir.File("A.JOB"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), "new"), 0);
    EXPECT_EQ(fs::status(dir.File("A.JOB")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(FileIo, ErrnoValuesMapOntoFileErrorNumbers) {
    TempDir dir;
    const std::string inDir = dir.File("X.JOB");
    EXPECT_EQ(FileErrorNumberFromErrno(ENOENT, inDir), 53);
    EXPECT_EQ(FileErrorNumberFromErrno(ENOENT, dir.File("gone/X.JOB")), 76);
    EXPECT_EQ(FileErrorNumberFromErrno(ENOTDIR, inDir), 76);
    for (int e : {EACCES, EPERM, EROFS, EISDIR}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 54);
    for (int e : {EBUSY, ETXTBSY}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 55);
    for (int e : {ENOSPC, EDQUOT}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 57);
    EXPECT_EQ(FileErrorNumberFromErrno(EIO, inDir), 75);
    for (int e : {ENAMETOOLONG, EINVAL, EILSEQ}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 64);
    for (int e : {ENXIO, ENODEV}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 68);
    EXPECT_EQ(FileErrorNumberFromErrno(EMFILE, inDir), 75);
}

// A sparse file is refused by its size, not read (fifos and devices: the cli test).
TEST(FileIo, OnlyFilesOfBoundedSizeAreRead) {
    TempDir dir;
    {
        std::ofstream big(dir.File("BIG.JOB"), std::ios::binary);
        big.seekp(3LL << 30);
        big.put('x');
    }
    ReadResult big = ReadWholeFile(dir.File("BIG.JOB"));
    EXPECT_EQ(big.error, 54);
    EXPECT_EQ(big.detail,
              "It holds 3221225473 bytes, more than the 16777216 such a file can hold.");
    EXPECT_TRUE(big.bytes.empty());
    dir.Write("SMALL.JOB", "12345");
    EXPECT_EQ(ReadWholeFile(dir.File("SMALL.JOB"), 5).error, 0) << "the limit itself is allowed";
    EXPECT_EQ(ReadWholeFile(dir.File("SMALL.JOB"), 4).error, 54);
}

// A read-only target is refused through the command line.
TEST(FileIo, ASpecialTargetIsRefusedAndKept) {
    namespace fs = std::filesystem;
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("F.NTS").c_str(), 0644), 0);
    EXPECT_EQ(WriteFileAtomically(dir.File("F.NTS"), "x"), 54);
    EXPECT_TRUE(fs::is_fifo(dir.File("F.NTS")));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"F.NTS"}));
}

TEST(FileIo, ASaveRemovesTheTemporariesOfAKilledSaveOfThatFileOnly) {
    TempDir dir;
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

TEST(FileIo, ANameAtTheLimitCanStillBeSaved) {
    TempDir dir;
    const std::string longName = std::string(NAME_MAX - 4, 'J') + ".JOB";
    dir.Write(longName, "old");
    ASSERT_EQ(ReadWholeFile(dir.File(longName)).error, 0);
    EXPECT_EQ(WriteFileAtomically(dir.File(longName), "new"), 0);
    EXPECT_EQ(dir.Read(longName), "new");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{longName});
}

TEST(FileIo, OnlyRegularFilesAreRemoved) {
    TempDir dir;
    dir.Write("target", "keep me");
    std::filesystem::create_symlink(dir.File("target"), dir.File("L.JOB"));
    ASSERT_EQ(mkfifo(dir.File("F.JOB").c_str(), 0644), 0);
    EXPECT_EQ(RemoveRegularFile(dir.File("L.JOB")), 54);
    EXPECT_EQ(RemoveRegularFile(dir.File("F.JOB")), 54);
    EXPECT_EQ(RemoveRegularFile(dir.File("target")), 0);
    EXPECT_EQ(RemoveRegularFile(dir.File("none")), 53);
}

}  // namespace
}  // namespace tavro::core
