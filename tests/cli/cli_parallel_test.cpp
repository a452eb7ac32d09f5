// tavro-cli processes at once on one directory, and saves failing or killed at each step.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/file_lock.h"
#include "core/job_file.h"
#include "core/notes_file.h"
#include "support/job_builder.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace tavro::test {
namespace {

// TAVRO_CLI_UNDER_TEST runs these tests against another build of the program.
const std::string kCli =
    std::getenv("TAVRO_CLI_UNDER_TEST") ? std::getenv("TAVRO_CLI_UNDER_TEST") : TAVRO_CLI_PROGRAM;

Finished Cli(const TempDir& dir, std::vector<std::string> args,
             const std::vector<std::string>& env = {}) {
    args.insert(args.begin(), {"--dir", dir.path()});
    return RunProcess(kCli, args, env);
}

std::unique_ptr<Process> StartCli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path()});
    return std::make_unique<Process>(kCli, args);
}

std::vector<std::string> SectionNames(const TempDir& dir, const std::string& job) {
    core::ParsedJob parsed = core::ParseJob(dir.Read(job + ".JOB"), job);
    EXPECT_EQ(parsed.status, core::ParseStatus::Complete);
    return core::NamesOf(parsed.sections);
}

// The note of every entry, by name; the entries must be one per section of the job file.
std::map<std::string, std::string> NotesInStep(const TempDir& dir, const std::string& job) {
    const core::ParsedNotes notes = core::ParseNotes(dir.Read(job + ".NTS"));
    EXPECT_TRUE(core::NotesMatch(notes, SectionNames(dir, job))) << "job and notes out of step:\n"
                                                                 << dir.Read(job + ".NTS");
    std::map<std::string, std::string> byName;
    for (const auto& e : notes.entries) byName[e.name] = e.note;
    return byName;
}

// Fails (or kills at) the at-th write, fsync, close or rename; leaves "fired" when it did.
std::vector<std::string> FaultAt(const TempDir& dir, int at, bool kill) {
    std::vector<std::string> env{
        "LD_PRELOAD=" + std::string(TAVRO_FAULT_SHIM), "TAVRO_FAULT_AT=" + std::to_string(at),
        "TAVRO_FAULT_FIRED=" + dir.File("fired"), "ASAN_OPTIONS=verify_asan_link_order=0"};
    if (kill) env.push_back("TAVRO_FAULT_KILL=1");
    return env;
}

// Job J with sections A, B and C, each with a note, and job SRC with section X.
void WriteJobsWithNotes(const TempDir& dir) {
    dir.Write("J.JOB", SampleJobFile({"A", "B", "C"}));
    dir.Write("J.NTS", NotesFile({{"A", "note a"}, {"B", "note b"}, {"C", "note c"}}));
    dir.Write("SRC.JOB", SampleJobFile({"X"}));
    dir.Write("SRC.NTS", NotesFile({{"X", "note x"}}));
}

std::pair<std::string, std::string> JobAndNotes(const TempDir& dir) {
    return {dir.Read("J.JOB"), dir.Read("J.NTS")};
}

bool NoTemporaries(const TempDir& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        if (e.path().filename().string().find(".tmp-") != std::string::npos) return false;
    return true;
}

// Every change a process reports done is in the files after parallel changes to one job.
TEST(ParallelCli, EveryReportedSaveIsKept) {
    constexpr int kRounds = 3, kEach = 3;  // kEach: processes of each kind per round
    for (int round = 0; round < kRounds; ++round) {
        TempDir dir;
        std::vector<std::string> names{"BASE"};
        for (int i = 0; i < kEach; ++i) names.push_back("OLD" + std::to_string(i));
        dir.Write("J.JOB", SampleJobFile(names));
        dir.Write("SRC.JOB", SampleJobFile({"X"}));
        std::vector<std::unique_ptr<Process>> running;
        std::vector<std::string> expected{"BASE"};
        for (int i = 0; i < kEach; ++i) {
            const std::string n = std::to_string(i);
            running.push_back(StartCli(dir, {"duplicate", "J", "BASE", "DUP" + n}));
            running.push_back(StartCli(dir, {"copy", "SRC", "X", "J", "--as", "CPY" + n}));
            running.push_back(StartCli(dir, {"--yes", "delete-section", "J", "OLD" + n}));
            running.push_back(StartCli(dir, {"notes", "J", "BASE", "--set", "note " + n}));
            expected.insert(expected.end(), {"CPY" + n, "DUP" + n});
        }
        for (auto& p : running) {
            Finished f = p->Wait();
            EXPECT_EQ(f.exitCode, 0) << f.err;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(SectionNames(dir, "J"), expected) << "round " << round;
        auto notes = NotesInStep(dir, "J");
        EXPECT_EQ(notes["DUP0"], "No notes.");
        EXPECT_EQ(notes["CPY0"], "X");
        EXPECT_EQ(notes["BASE"].rfind("note ", 0), 0u) << notes["BASE"];
        EXPECT_TRUE(NoTemporaries(dir));
    }
}

// Runs sharing the analysis files of the directory give their solo results.
TEST(ParallelCli, ParallelRunsGiveTheirSoloResults) {
    TempDir dir;
    dir.Write("J.JOB", core::FormatJob(
                           {SampleSection("A", 1), SampleSection("B", 2), SampleSection("C", 3)}));
    const std::vector<std::string> sections{"A", "B", "C"};
    std::map<std::string, nlohmann::json> solo;
    for (const auto& s : sections) {
        Finished f = Cli(dir, {"--json", "design", "J", s});
        ASSERT_EQ(f.exitCode, 0) << f.err;
        solo[s] = nlohmann::json::parse(f.out)["section"]["layers"];
    }
    constexpr int kCopies = 3;
    std::vector<std::pair<std::string, std::unique_ptr<Process>>> running;
    for (int i = 0; i < kCopies; ++i)
        for (const auto& s : sections)
            running.emplace_back(s, StartCli(dir, {"--json", "design", "J", s}));
    for (auto& [s, p] : running) {
        Finished f = p->Wait();
        ASSERT_EQ(f.exitCode, 0) << f.err;
        EXPECT_EQ(nlohmann::json::parse(f.out)["section"]["layers"], solo[s]) << s;
    }
}

// A run waits for the run lock of the directory and says so once; --no-wait refuses.
TEST(ParallelCli, ARunWaitsForTheRunLockOrRefusesAtOnce) {
    TempDir dir;
    dir.Write("J.JOB", SampleJobFile({"A"}));
    core::FileLock held;
    ASSERT_EQ(held.Acquire(dir.File("tavro-run.lock"), core::FileLock::Wait::NoWait),
              core::FileLock::Result::Locked);

    Finished refused = Cli(dir, {"--no-wait", "analyze", "J", "A"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Running: Another run is using the analysis files in " + dir.path() +
                               ".\nTry again when it has finished, or leave out --no-wait to "
                               "wait for it.\n");
    EXPECT_FALSE(dir.Exists("VORNA.STR"));

    auto waiting = StartCli(dir, {"analyze", "J", "A"});
    const std::string note = "Waiting for another run in " + dir.path() + " to finish...\n";
    for (int i = 0; i < 200 && waiting->ErrSoFar() != note; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(waiting->ErrSoFar(), note);
    EXPECT_TRUE(waiting->Running());
    EXPECT_FALSE(dir.Exists("VORNA.STR")) << "ran without the lock";
    held.Release();
    Finished done = waiting->Wait();
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(done.err, note);
    EXPECT_TRUE(dir.Exists("VORNA.STR"));
}

// A failed step leaves old or new files, agreeing; a killed one loses no note (a new
// section's missing entry reads as its name) and the next save cleans up after it.
TEST(FaultInjection, AFailedOrKilledStepLosesNoChangeAndNoNote) {
    const std::vector<std::vector<std::string>> changes = {
        {"copy", "SRC", "X", "J", "--as", "N"},
        {"--yes", "delete-section", "J", "B"},
        {"notes", "J", "A", "--set", "edited"},
    };
    TempDir before;
    WriteJobsWithNotes(before);
    const auto oldFiles = JobAndNotes(before);
    const auto oldByName = NotesInStep(before, "J");
    for (const bool kill : {false, true}) {
        for (const auto& change : changes) {
            TempDir clean;
            WriteJobsWithNotes(clean);
            ASSERT_EQ(Cli(clean, change).exitCode, 0);
            const auto newFiles = JobAndNotes(clean);
            const auto newByName = NotesInStep(clean, "J");
            int faults = 0;
            for (int at = 1; at < 200; ++at) {
                TempDir dir;
                WriteJobsWithNotes(dir);
                Finished f = Cli(dir, change, FaultAt(dir, at, kill));
                if (!dir.Exists("fired")) break;
                ++faults;
                std::filesystem::remove(dir.File("fired"));
                const std::string where =
                    change[0] + (kill ? " killed" : " failing") + " at call " + std::to_string(at);
                if (kill) {
                    EXPECT_EQ(f.exitCode, -1) << where;
                    for (const std::string& name : SectionNames(dir, "J")) {
                        Finished n = Cli(dir, {"notes", "J", name});
                        ASSERT_EQ(n.exitCode, 0) << where << ": " << n.err;
                        const std::string note = n.out.substr(0, n.out.size() - 1);
                        const auto was = oldByName.find(name), now = newByName.find(name);
                        EXPECT_TRUE(note == (was != oldByName.end() ? was->second : name) ||
                                    (now != newByName.end() && note == now->second))
                            << where << ": section " << name << " has the note " << note;
                    }
                    NotesInStep(dir, "J");
                    ASSERT_EQ(Cli(dir, {"duplicate", "J", "C", "Z"}).exitCode, 0) << where;
                } else {
                    const auto files = JobAndNotes(dir);  // old or new, agreeing
                    EXPECT_TRUE(files == oldFiles || files == newFiles) << where;
                    EXPECT_TRUE(f.exitCode != 0 || files == newFiles) << where << " reported done";
                }
                EXPECT_TRUE(NoTemporaries(dir)) << where;
            }
            EXPECT_GT(faults, 3) << change[0] << (kill ? " killed" : " failing");
        }
    }
}

// A command still running after the deadline is reported as hanging (exit code -2).
Finished WithinDeadline(const TempDir& dir, std::vector<std::string> args) {
    constexpr int kDeadlineMs = 10000;  // generous for a loaded machine; a hang never ends
    auto p = StartCli(dir, std::move(args));
    for (int ms = 0; ms < kDeadlineMs && p->Running(); ms += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (p->Running()) return Finished{-2, "", "hangs"};
    return p->Wait();
}

TEST(FilesNotWhatTheySeem, NothingHangsAndNothingIsReplaced) {
    TempDir dir;
    const std::string job = SampleJobFile({"A", "B"});
    dir.Write("J.JOB", job);
    ASSERT_EQ(mkfifo(dir.File("J.NTS").c_str(), 0644), 0);
    for (auto args :
         std::vector<std::vector<std::string>>{{"notes", "J", "A"}, {"duplicate", "J", "A", "Z"}}) {
        Finished f = WithinDeadline(dir, args);
        EXPECT_EQ(f.exitCode, 1) << args[0] << ": " << f.err;
        EXPECT_NE(f.err.find("J.NTS for that type of access.\n\nIt is not a regular file."),
                  std::string::npos)
            << args[0] << ": " << f.err;
    }
    EXPECT_EQ(dir.Read("J.JOB"), job) << "the job changed without its notes";

    ASSERT_EQ(mkfifo(dir.File("tavro.lock").c_str(), 0644), 0);
    Finished jobs = WithinDeadline(dir, {"jobs"});
    EXPECT_EQ(jobs.exitCode, 0);
    EXPECT_EQ(jobs.out, "Samples\nJ\n");
}

}  // namespace
}  // namespace tavro::test
