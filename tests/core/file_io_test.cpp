#include "core/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
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

TEST(FileIo, ReadsBytesExactlyIncludingCrLfAndNul) {
    TempDir dir;
    const std::string bytes("A\r\nB\0C\n", 7);
    dir.Write("X.JOB", bytes);
    ReadResult r = ReadWholeFile(dir.File("X.JOB"));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.bytes, bytes);
}

TEST(FileIo, MissingFileIsNotFoundAndMissingDirectoryIsPathNotFound) {
    TempDir dir;
    EXPECT_EQ(ReadWholeFile(dir.File("NONE.JOB")).error, 53);
    EXPECT_EQ(ReadWholeFile(dir.File("nodir/NONE.JOB")).error, 76);
    EXPECT_EQ(WriteFileAtomically(dir.File("nodir/NEW.JOB"), "x"), 76);
}

TEST(FileIo, ReadingADirectoryIsABadAccessMode) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("SUB.JOB"));
    EXPECT_EQ(ReadWholeFile(dir.File("SUB.JOB")).error, 54);
}

TEST(FileIo, AtomicWriteCreatesAndReplacesContent) {
    TempDir dir;
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), "first\r\n"), 0);
    EXPECT_EQ(dir.Read("A.JOB"), "first\r\n");
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), "2"), 0);
    EXPECT_EQ(dir.Read("A.JOB"), "2");
    ASSERT_EQ(WriteFileAtomically(dir.File("A.JOB"), ""), 0);
    EXPECT_TRUE(dir.Exists("A.JOB"));
    EXPECT_EQ(dir.Read("A.JOB"), "");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"A.JOB"});
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
    EXPECT_EQ(WriteFileAtomically(dir.File("NEW.JOB"), "x", &f), 57);
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

TEST(FileIo, ReplacingADirectoryFailsAndKeepsIt) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("D.JOB"));
    EXPECT_EQ(WriteFileAtomically(dir.File("D.JOB"), "x"), 54);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("D.JOB")));
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"D.JOB"});
}

TEST(FileIo, ErrnoValuesMapOntoFileErrorNumbers) {
    TempDir dir;
    const std::string inDir = dir.File("X.JOB");
    EXPECT_EQ(FileErrorNumberFromErrno(ENOENT, inDir), 53);
    EXPECT_EQ(FileErrorNumberFromErrno(ENOENT, dir.File("gone/X.JOB")), 76);
    EXPECT_EQ(FileErrorNumberFromErrno(ENOTDIR, inDir), 76);
    for (int e : {EACCES, EPERM, EROFS, EISDIR}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 54);
    for (int e : {EBUSY, ETXTBSY}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 55);
    for (int e : {ENOSPC, EDQUOT, EIO}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 57);
    for (int e : {ENAMETOOLONG, EINVAL, EILSEQ}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 64);
    for (int e : {ENXIO, ENODEV}) EXPECT_EQ(FileErrorNumberFromErrno(e, inDir), 68);
    EXPECT_EQ(FileErrorNumberFromErrno(EMFILE, inDir), 75);
}

}  // namespace
}  // namespace tavro::core
