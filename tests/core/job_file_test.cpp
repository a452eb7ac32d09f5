#include "core/job_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>

#include "core/narrow.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "support/fake_user_port.h"
#include "support/job_builder.h"
#include "support/temp_dir.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;
using test::TempDir;

// Layer type codes of the material library used below.
constexpr std::int16_t kAsphalt = 1, kSubgrade = 4, kPcc = 5, kAgCrushed = 6, kStRigid = 7,
                       kAgUncrushed = 8, kAcOverlay = 10;

using test::Layer;
using test::Plane;

// The sections of tests/data/format3_golden.JOB (see the README there).
std::vector<Section> GoldenSections() {
    Section a;
    a.SectionName = "ACAggregate";
    a.Layers = {Layer(3, 200000, kAsphalt), Layer(6, 75000, kAgCrushed),
                Layer(8, 40000, kAgUncrushed), Layer(99, 15000, kSubgrade)};
    a.Aircraft = {Plane("Sngl Whl-30", 30000, 1200, 0)};

    Section b;
    b.SectionName = "RigidPCC";
    b.SectionTimeStamp = 45366.5625;
    b.AsphaltCDF = -1;
    b.DesignLife = 25;
    b.SCI = 100;
    b.CDFU = 37.5f;
    b.Layers = {Layer(14.25f, 4000000, kPcc, 700), Layer(2.71828f, 500000, kStRigid),
                Layer(0, 4500.5f, kSubgrade)};
    b.Aircraft = {Plane("B-737-800", 174700, 3000, 0.025f),
                  Plane("A Really Long Aircraft Name", 12345.5f, 1200.4f, -0.0125f),
                  Plane("DC-9-51", 121000, 2.5f, -1e-7f)};

    Section c;
    c.SectionName = "Empty AC";
    c.DesignLife = 1;
    c.SCI = 85;
    c.CDFU = 40;
    c.Layers = {Layer(4.5f, 200000, kAcOverlay), Layer(0, 12000.49f, kSubgrade)};
    return {a, b, c};
}

std::string ReadDataFile(const std::string& name) {
    std::ifstream in(std::string(TAVRO_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Section SimpleSection(std::string name, int aircraftCount = 1) {
    Section s;
    s.SectionName = std::move(name);
    s.Layers = {Layer(4, 200000, kAsphalt), Layer(0, 15000, kSubgrade)};
    for (int k = 1; k <= aircraftCount; ++k) {
        s.Aircraft.push_back(
            Plane("Plane-" + std::to_string(k), 10000.0f + static_cast<float>(k), 100, 0));
    }
    return s;
}

// ---- Writer ------------------------------------------------------------------------

TEST(FormatJob, ReproducesTheHandWrittenGoldenFile) {
    EXPECT_EQ(FormatJob(GoldenSections()), ReadDataFile("format3_golden.JOB"));
    // Each name too long for its field is listed once.
    std::vector<Section> sections = GoldenSections();
    sections[0].Aircraft.push_back(Plane("A Really Long Aircraft Name", 1, 1, 0));
    sections[0].Aircraft.push_back(Plane("Exactly Twenty Chars", 1, 1, 0));
    EXPECT_EQ(LongAircraftNames(sections), std::vector<std::string>{"A Really Long Aircraft Name"});
}

// ---- Reader ------------------------------------------------------------------------

TEST(ParseJob, WriteThenReadKeepsEveryFieldUpToTheMasks) {
    std::vector<Section> written = GoldenSections();
    written[0].SectionTimeStamp = 45366.0 + 52245.0 / 86400;  // 14:30:45
    written[0].AsphaltCDF = 0.1234567f;
    written[0].Aircraft[0].OverloadFlag = true;
    written[0].Aircraft[0].AnnualGrowth = 0.0333333f;
    written[1].Layers[0].LayerModulus = 123;     // a PCC modulus is never stored
    written[1].Layers[0].LayerFlexStrength = 0;  // but a zero strength is

    ParsedJob job = ParseJob(FormatJob(written), "RUNWAYS");
    ASSERT_EQ(job.status, ParseStatus::Complete);
    EXPECT_TRUE(job.messages.empty());
    ASSERT_EQ(job.sections.size(), 3u);

    // Six decimals of the day and of the fractions; the PCC modulus is the library default;
    // 4500.5 rounds up.
    const Section& a = job.sections[0];
    const Section& b = job.sections[1];
    EXPECT_EQ(std::tuple(a.SectionTimeStamp, a.AsphaltCDF, a.Aircraft[0].AnnualGrowth,
                         a.Aircraft[0].OverloadFlag),
              std::tuple(45366.604688, Single(0.123457), Single(0.033333), false));
    EXPECT_EQ((std::vector<float>{b.Layers[0].LayerModulus, b.Layers[0].LayerFlexStrength,
                                  b.Layers[1].LayerThickness, b.Layers[2].LayerModulus,
                                  b.Aircraft[1].GrossLoad, b.Aircraft[2].AnnualDepartures,
                                  b.Aircraft[2].AnnualGrowth}),
              (std::vector<float>{4000000, 0, Single(2.7183), 4501, 12346, 3, 0}));
}

TEST(ParseJob, FormatParseFormatIsStable) {
    std::string once = FormatJob(GoldenSections());
    ParsedJob job = ParseJob(once, "J");
    ASSERT_EQ(job.status, ParseStatus::Complete);
    // Only the cut aircraft name and the SCI rule change what is written again.
    std::vector<Section> expected = GoldenSections();
    expected[1].Aircraft[1].AircraftName = "A Really Long Aircra";
    expected[0].CDFU = 100;
    expected[2].CDFU = 100;
    EXPECT_EQ(FormatJob(job.sections), FormatJob(expected));
}

TEST(ParseJob, AHundredSectionsLoadAndTheHundredAndFirstIsRefusedWithItsMessage) {
    for (int count : {100, 101}) {
        std::vector<Section> sections;
        for (int i = 1; i <= count; ++i) sections.push_back(SimpleSection("S" + std::to_string(i)));
        ParsedJob job = ParseJob(FormatJob(sections), "BIG");
        EXPECT_EQ(job.status, ParseStatus::Complete) << count;
        ASSERT_EQ(job.sections.size(), 100u) << count;
        EXPECT_EQ(job.sections.back().SectionName, "S100");
        ASSERT_EQ(job.messages.size(), count == 100 ? 0u : 1u);
        if (count == 100) continue;
        EXPECT_EQ(job.messages[0].title, "Too Many Sections");
        EXPECT_EQ(job.messages[0].text,
                  "The maximum number of sections allowed in a\r\n"
                  " job file is 100. There are more sections than\r\n"
                  " this in BIG.\r\n\r\n"
                  " Only the first 100 sections in BIG will be loaded.");
    }
}

TEST(ParseJob, TwentyThreeAircraftLoadTwentyAndTheNextSectionStillReads) {
    ParsedJob job =
        ParseJob(FormatJob({SimpleSection("Crowded", 23), SimpleSection("Next", 2)}), "APRON");
    ASSERT_EQ(job.status, ParseStatus::Complete);
    ASSERT_EQ(job.sections.size(), 2u);
    EXPECT_EQ(std::pair(job.sections[0].AircraftCount(), job.sections[0].Aircraft.back().GrossLoad),
              std::pair(20, 10020.0f));
    EXPECT_EQ(job.sections[1].Aircraft.at(1).GrossLoad, 10002);
    ASSERT_EQ(job.messages.size(), 1u);
    EXPECT_EQ(job.messages[0].title, "Too Many Aircraft");
    EXPECT_EQ(job.messages[0].text,
              "The maximum number of aircraft allowed in a\r\n"
              " design list is 20. There are more aircraft than\r\n"
              " this in APRON.\r\n\r\n"
              " Only the first 20 aircraft in APRON will be loaded.");
}

TEST(ParseJob, OlderLayoutMarksZeroTimeStampsNotAnalysed) {
    // No date text, 12-character names, no empty lines between sections, comma separators.
    std::string text =
        "Old job\r\nFirst\r\n 0 , 0.5\r\n 20, 85, 40, 2, 2\r\n 3, 200000, 1\r\n 0, 15000, 4\r\n"
        "DT-777 C       50000 100 0\r\nB-727        150000 200 0.01\r\nSecond\r\n-1 0\r\n"
        "10 100 0 1 0\r\n0 9000 4\r\nThird\r\n36526.5 0\r\n10 100 0 1 0\r\n0 9000 4\r\n";
    ParsedJob job = ParseJob(text, "OLD");
    ASSERT_EQ(job.status, ParseStatus::Complete) << job.errorDetail;
    ASSERT_EQ(job.sections.size(), 3u);
    EXPECT_TRUE(IsNotAnalysed(job.sections[0].SectionTimeStamp));
    EXPECT_TRUE(IsNotAnalysed(job.sections[1].SectionTimeStamp));
    EXPECT_EQ(job.sections[2].SectionTimeStamp, 36526.5);
    EXPECT_EQ(job.sections[0].AsphaltCDF, 0.5f);
    EXPECT_EQ(job.sections[0].Aircraft[0].AircraftName, "DT-777 C") << "kept as written";
    EXPECT_EQ(job.sections[0].Aircraft[1].AnnualGrowth, 0.01f);

    // Format3 files have the old name renamed.
    Section s = SimpleSection("S");
    s.Aircraft[0].AircraftName = "DT-777 C";
    EXPECT_EQ(ParseJob(FormatJob({s}), "J").sections.at(0).Aircraft.at(0).AircraftName, "DT-777");
}

TEST(ParseJob, AcceptsLfLineEndsAndLenientEndings) {
    std::string crlf = FormatJob(GoldenSections());
    std::string lf;
    for (char c : crlf) {
        if (c != '\r') lf += c;
    }
    ParsedJob fromLf = ParseJob(lf, "J");
    ASSERT_EQ(fromLf.status, ParseStatus::Complete) << fromLf.errorDetail;
    EXPECT_EQ(FormatJob(fromLf.sections), FormatJob(ParseJob(crlf, "J").sections));

    // Without the final two empty lines, and with extra blank lines at the end.
    for (const std::string& text :
         {crlf.substr(0, crlf.size() - 4), crlf + "\r\n  \r\n", crlf + "\x1a"}) {
        ParsedJob job = ParseJob(text, "J");
        EXPECT_EQ(job.status, ParseStatus::Complete) << job.errorDetail;
        EXPECT_EQ(job.sections.size(), 3u);
    }
}

// A valid two-section file; the second section starts at line 10.
std::string TwoSections() { return FormatJob({SimpleSection("First"), SimpleSection("Second")}); }

std::string ReplaceLine(const std::string& text, int lineNumber, const std::string& line) {
    std::size_t start = 0;
    for (int i = 1; i < lineNumber; ++i) start = text.find("\r\n", start) + 2;
    std::size_t end = text.find("\r\n", start);
    return text.substr(0, start) + line + text.substr(end);
}

TEST(ParseJob, MalformedFieldsFailWithTheLineAndKeepEarlierSections) {
    // What, the line put in place of line `lineNumber` of TwoSections(), the detail of error 13.
    const std::tuple<const char*, std::string, int, std::string> cases[] = {
        {"layer count too large", "   20    0.00    0.00  17   1", 12,
         "the layer count 17 is outside 1 to 16."},
        {"layer type 18", "      4.0000      200000      18", 13,
         "the layer type 18 is outside 0 to 17."},
        {"text in a number", "   20    x.00    0.00   2   1", 12,
         "the SCI \"x.00\" is not a number."},
        {"design life beyond 16 bits", "   40000    0.00    0.00   2   1", 12,
         "the design life 40000 is outside -32768 to 32767."},
        {"gross load beyond single precision", " Plane-1               1e39     100    0.000000",
         15, "the gross load 1e39 is too large for its field."},
        {"time stamp after 9999", " 11/01/71 00:00:00        3000000.000000    0.000000", 11,
         "the time stamp 3000000.000000 is outside -693593 to 2958466."},
        {"short aircraft line", " Plane-1", 15,
         "the aircraft name field is shorter than 21 characters."},
        {"text in a separator line", "oops", 16, "the line \"oops\" should be empty."},
    };
    const std::string valid = TwoSections();
    for (const auto& [what, line, lineNumber, detail] : cases) {
        ParsedJob job = ParseJob(ReplaceLine(valid, lineNumber, line), "J");
        EXPECT_EQ(std::tuple(job.status, job.errorNumber, job.errorLine, job.errorDetail,
                             NamesOf(job.sections)),
                  std::tuple(ParseStatus::Failed, 13, lineNumber, detail,
                             std::vector<std::string>{"First"}))
            << what;
    }
}

TEST(ParseJob, FileEndingInsideASectionIsAnEndOfFileError) {
    const std::string valid = TwoSections();
    // Cut after the layer lines of the second section (line 14 is its last layer).
    std::size_t cut = 0;
    for (int i = 1; i <= 14; ++i) cut = valid.find("\r\n", cut) + 2;
    ParsedJob job = ParseJob(valid.substr(0, cut), "J");
    EXPECT_EQ(std::tuple(job.errorNumber, job.errorLine, job.errorDetail, job.sections.size()),
              std::tuple(62, 15, std::string("the file ends inside section 2."), 1u));

    // Surplus aircraft lines are read too, so missing ones are an end of file as well.
    std::string crowded = FormatJob({SimpleSection("S", 21)});
    job = ParseJob(crowded.substr(0, crowded.rfind(" Plane-21")), "J");
    EXPECT_EQ(std::pair(job.errorNumber, job.sections.size()), std::pair(62, 0ul));
}

// Truncated or mutated files: no crash, no hang, and the table limits hold.
TEST(ParseJob, SurvivesTruncationsAndRandomMutations) {
    std::vector<Section> sections = GoldenSections();
    sections.push_back(SimpleSection("Crowded", 22));
    const std::string valid = FormatJob(sections);
    auto check = [](const ParsedJob& job) {
        ASSERT_LE(job.sections.size(), 100u);
        for (const Section& s : job.sections) {
            ASSERT_TRUE(s.LayerCount() >= 1 && s.LayerCount() <= 16) << s.LayerCount();
            ASSERT_LE(s.AircraftCount(), 20);
            for (const SectionLayer& l : s.Layers)
                ASSERT_TRUE(l.LayerType >= 0 && l.LayerType <= 17);
        }
        if (job.status == ParseStatus::Failed) {
            ASSERT_TRUE(job.errorNumber == 13 || job.errorNumber == 62);
            ASSERT_TRUE(job.errorLine >= 1 && !job.errorDetail.empty()) << job.errorLine;
        }
    };
    for (std::size_t n = 0; n <= valid.size(); ++n) check(ParseJob(valid.substr(0, n), "J"));

    std::mt19937 random(20240315);  // fixed seed: the same mutations every run
    const std::string alphabet = "0123456789 ,.-+eE\r\n\x1a\tx";
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = valid;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = random() % text.size();
            const auto kind = random() % 3;
            if (kind == 0) {
                text[at] = alphabet[random() % alphabet.size()];
            } else if (kind == 1) {
                text.erase(at, 1 + random() % 3);
            } else {
                text[at] = static_cast<char>(random() % 256);
            }
        }
        ParsedJob job = ParseJob(text, "J");
        check(job);
        failed += job.status == ParseStatus::Failed ? 1 : 0;
    }
    // The mutations must actually reach the error paths, not only harmless blanks.
    EXPECT_GT(failed, 300);
}

// ---- Disk --------------------------------------------------------------------------

class JobFileOnDisk : public ::testing::Test {
protected:
    // Points the state at job `name`, holding the golden sections.
    ProgramState& On(const std::string& name) {
        state.ProgramDir = dir.path();
        state.JobName = name;
        state.Sections = GoldenSections();
        return state;
    }
    // Reads job `name` holding `text`, or with no file when `text` is null.
    bool Read(const std::string& name, const std::string* text) {
        if (text) dir.Write(name + ".JOB", *text);
        return ReadJob(On(name), ui);
    }
    TempDir dir;
    FakeUserPort ui;
    ProgramState state;
};

TEST_F(JobFileOnDisk, WriteRefusesTheSampleJobInAnyCase) {
    for (const char* name : {"Samples", "SAMPLES", "samples"}) {
        ui.boxes.clear();
        EXPECT_FALSE(WriteJob(On(name), ui));
        EXPECT_TRUE(ui.OnlyBox("Writing a Job File",
                               "Job Samples is part of the system.\r\n"
                               "An external job of the same name\r\n"
                               "cannot be created."));
        EXPECT_FALSE(dir.Exists(std::string(name) + ".JOB"));
    }
}

TEST_F(JobFileOnDisk, WritesTheJobFileAndNamesTheAircraftWrittenShortened) {
    On("RUNWAYS").Sections[1].Aircraft[1].AircraftName = "B-727";  // no long name: no message
    EXPECT_TRUE(WriteJob(state, ui));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(state.Sections[0].Layers[3].LayerThickness, 0) << "subgrade zeroed in the table";
    EXPECT_EQ(dir.Read("RUNWAYS.JOB"), FormatJob(state.Sections));

    state = ProgramState();  // a fresh program, not a save of RUNWAYS under a new name
    EXPECT_TRUE(WriteJob(On("LONG"), ui));
    EXPECT_TRUE(ui.OnlyBox("Writing a Job File",
                           "These aircraft names are longer than 20 characters:\r\n"
                           "A Really Long Aircraft Name\r\n\r\n"
                           "They have been written to " +
                               dir.path() +
                               "LONG.JOB\r\n"
                               "as their first 20 characters and will not be found\r\n"
                               "in the aircraft library when the job is read again."));
}

// A file-size limit makes the write fail half-way (EFBIG): the old file must survive.
TEST_F(JobFileOnDisk, FailedWriteLeavesTheOldFileByteIdentical) {
    const std::string old = FormatJob({SimpleSection("Old")});
    dir.Write("KEEP.JOB", old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WriteJob(On("KEEP"), ui);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(dir.Read("KEEP.JOB"), old);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("occurred writing\r\nfile " + dir.path() + "KEEP.JOB."),
              std::string::npos);
}

TEST_F(JobFileOnDisk, ReadReadsTheJobAndRefusesAMissingOrEmptyFile) {
    const std::string golden = ReadDataFile("format3_golden.JOB");
    EXPECT_FALSE(Read("GOLD", &golden));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ((std::pair<int, int>(state.SectionCount(), state.CurrentSection)), std::pair(3, 1));

    EXPECT_TRUE(Read("GONE", nullptr));
    EXPECT_TRUE(ui.OnlyBox(nullptr, "Cannot find " + dir.path() + "GONE.JOB."));

    ui.boxes.clear();
    state.CurrentSection = 2;
    const std::string empty;
    EXPECT_TRUE(Read("NONE", &empty));
    EXPECT_TRUE(ui.OnlyBox("Empty Job File", "File " + dir.path() +
                                                 "NONE.JOB is empty.\r\n\r\n"
                                                 "Delete the job and create a new one.\r\n\r\n"
                                                 "No action will be taken now."));
    EXPECT_EQ((std::pair<int, int>(state.SectionCount(), state.CurrentSection)), std::pair(0, 0));
}

TEST_F(JobFileOnDisk, ReadMalformedFileShowsMessagesInOrderAndKeepsEarlierSections) {
    std::string text = FormatJob({SimpleSection("Crowded", 21), SimpleSection("Bad")});
    // Line C of "Bad" follows the 29 lines of the first section and its name and line B.
    text = ReplaceLine(text, 32, "   20    0.00    0.00  17   1");
    EXPECT_TRUE(Read("BAD", &text));
    EXPECT_EQ(ui.Titles(), (std::vector<std::string>{"Too Many Aircraft", "File Error"}));
    EXPECT_EQ(ui.boxes[1].text,
              "Error # 13 occurred reading\r\nfile " + dir.path() +
                  "BAD.JOB.\r\n\r\n"
                  "It may have been caused by a corrupted file or by\r\n"
                  "a file with incorrect format. Please check the file.\r\n\r\n"
                  "If the error occurred during startup, try loading\r\n"
                  "another job or create a new job. Repair or delete\r\n"
                  "the bad job file as soon as possible.\r\n\r\n"
                  "The problem was found in line 32: the layer count 17 is outside 1 to 16.");
    ASSERT_EQ(state.SectionCount(), 1);
    EXPECT_EQ(dir.Read("BAD.JOB"), text);

    // A file cut inside its first section opens read-only with the end-of-file error.
    ui.boxes.clear();
    text = FormatJob({SimpleSection("Cut")});
    text.resize(text.find(" Plane-1"));
    EXPECT_FALSE(Read("CUT", &text)) << "opened, read-only";
    EXPECT_TRUE(ui.OnlyBox(
        nullptr, dir.path() +
                     "CUT.JOB has a nonstandard end-of-file marker,or an attempt was made to read "
                     "beyond the end-of-file marker.\r\n\r\n"
                     "The problem was found in line 7: the file ends inside section 1.\r\n\r\n"
                     "The sections before it have been opened read-only."));
    EXPECT_FALSE(state.ReadOnlyReason.empty());
    EXPECT_EQ(dir.Read("CUT.JOB"), text);
}

}  // namespace
}  // namespace tavro::core
