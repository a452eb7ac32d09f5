// Job files: the "Format3" writer, the reader of both layouts, and the disk operations
// with their messages.
#include "core/job_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "core/file_error.h"
#include "core/file_io.h"
#include "core/job_change.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "library/layer_library.h"

namespace tavro::core {

namespace {

constexpr std::string_view kFormatMarker = "Format3";
constexpr std::string_view kCrLf = "\r\n";
constexpr int kWrittenNameLength = 20;
constexpr std::size_t kNameField = 21;           // "Format3": one space + 20 characters
constexpr std::size_t kOldNameField = 12;        // older layout
constexpr std::size_t kFormattedDateField = 20;  // text date in front of the serial

// ---- Writer ------------------------------------------------------------------------

// One numeric field of a line: display mask, field width and whether the decimal fix
// applies.
struct FieldFormat {
    std::string_view mask;
    int width;
    bool decimalFix;
};

constexpr FieldFormat kSerialField{"0.000000", 20, true};
constexpr FieldFormat kAsphaltCdfField{"0.000000", 12, true};
constexpr FieldFormat kDesignLifeField{"0", 4, false};
constexpr FieldFormat kSciField{"0.00", 8, true};
constexpr FieldFormat kCdfuField{"0.00", 8, true};
constexpr FieldFormat kCountField{"0", 4, false};
constexpr FieldFormat kThicknessField{"0.0000", 12, true};
constexpr FieldFormat kStiffnessField{"0", 12, false};
constexpr FieldFormat kLayerTypeField{"0", 8, false};
constexpr FieldFormat kGrossLoadField{"0", 9, false};
constexpr FieldFormat kDeparturesField{"0", 8, false};
constexpr FieldFormat kGrowthField{"0.000000", 12, true};

std::string Field(double value, const FieldFormat& format) {
    std::string text = FormatMask(value, format.mask);
    if (format.decimalFix) text = DecimalPoint(std::move(text));
    return RightAlign(text, format.width);
}

void AppendLayer(std::string& out, const SectionLayer& layer, bool isSubgrade) {
    // A concrete layer's column holds its strength, whatever it is (even 0): its modulus
    // there would read back as a strength.
    const float stiffness =
        library::IsPccLayer(layer.LayerType) ? layer.LayerFlexStrength : layer.LayerModulus;
    out += Field(isSubgrade ? 0.0 : layer.LayerThickness, kThicknessField);
    out += Field(stiffness, kStiffnessField);
    out += Field(layer.LayerType, kLayerTypeField);
    out += kCrLf;
}

void AppendAircraft(std::string& out, const DesignAircraft& aircraft) {
    std::string name = aircraft.AircraftName.substr(0, kWrittenNameLength);
    name.resize(kWrittenNameLength, ' ');
    out += RightAlign(name, static_cast<int>(kNameField));
    out += Field(aircraft.GrossLoad, kGrossLoadField);
    out += Field(aircraft.AnnualDepartures, kDeparturesField);
    out += Field(aircraft.AnnualGrowth, kGrowthField);
    out += kCrLf;
}

void AppendSection(std::string& out, const Section& s) {
    out += s.SectionName;
    out += kCrLf;
    out += ' ';
    out += FormatTimeStamp(s.SectionTimeStamp);
    out += Field(s.SectionTimeStamp, kSerialField);
    out += Field(s.AsphaltCDF, kAsphaltCdfField);
    out += kCrLf;
    // Line C opens with a space like line B, which puts the design life in column 5.
    out += ' ';
    out += Field(s.DesignLife, kDesignLifeField);
    out += Field(s.SCI, kSciField);
    out += Field(s.CDFU, kCdfuField);
    out += Field(s.LayerCount(), kCountField);
    out += Field(s.AircraftCount(), kCountField);
    out += kCrLf;
    for (std::size_t j = 0; j < s.Layers.size(); ++j) {
        AppendLayer(out, s.Layers[j], j + 1 == s.Layers.size());
    }
    for (const DesignAircraft& aircraft : s.Aircraft) AppendAircraft(out, aircraft);
    out += kCrLf;
    out += kCrLf;
}

// ---- Reader ------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
// DOS editors ended text files with Ctrl-Z; nothing after it is data.
constexpr char kEndOfFileMark = '\x1a';

std::string NumberText(long n) {
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

// A field as it may be quoted in a message: short and printable.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 24;
    std::string out(text.substr(0, kShown));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32 || c == '\x7f') c = '?';
    }
    if (text.size() > kShown) out += "...";
    return out;
}

// Position in the file with the 1-based line number. Line ends are CR LF, LF or a lone
// CR.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    int Line() const { return line_; }

    // True when nothing but blanks and line ends (or an end-of-file mark) is left.
    bool OnlyBlankRemains() const {
        for (std::size_t i = pos_; i < bytes_.size(); ++i) {
            if (bytes_[i] == kEndOfFileMark) return true;
            if (!IsBlank(bytes_[i]) && !IsLineEnd(bytes_[i])) return false;
        }
        return true;
    }

    // The rest of the current line; consumes its line end. Precondition: !AtEnd().
    std::string_view ReadLine() {
        std::size_t start = pos_;
        while (!AtEnd() && !IsLineEnd(bytes_[pos_])) ++pos_;
        std::string_view line = bytes_.substr(start, pos_ - start);
        ConsumeLineEnd();
        return line;
    }

    // Free-format numeric field: blanks and line ends before it are skipped; it ends at
    // a blank, a comma or a line end; trailing blanks and then one comma or one line end
    // are consumed. nullopt at the end of the file.
    std::optional<std::string_view> ReadToken(int& tokenLine) {
        while (!AtEnd() && (IsBlank(bytes_[pos_]) || IsLineEnd(bytes_[pos_]))) {
            if (IsLineEnd(bytes_[pos_])) {
                ConsumeLineEnd();
            } else {
                ++pos_;
            }
        }
        if (AtEnd()) return std::nullopt;
        tokenLine = line_;
        std::size_t start = pos_;
        while (!AtEnd() && !IsBlank(bytes_[pos_]) && !IsLineEnd(bytes_[pos_]) &&
               bytes_[pos_] != ',') {
            ++pos_;
        }
        std::string_view token = bytes_.substr(start, pos_ - start);
        while (!AtEnd() && IsBlank(bytes_[pos_])) ++pos_;
        if (!AtEnd() && bytes_[pos_] == ',') {
            ++pos_;
        } else {
            ConsumeLineEnd();
        }
        return token;
    }

    enum class FixedRead { Read, LineEnded, FileEnded };
    // Exactly `n` characters of the current line.
    FixedRead ReadFixed(std::size_t n, std::string_view& out) {
        std::size_t start = pos_;
        while (pos_ - start < n) {
            if (AtEnd()) return FixedRead::FileEnded;
            if (IsLineEnd(bytes_[pos_])) return FixedRead::LineEnded;
            ++pos_;
        }
        out = bytes_.substr(start, n);
        return FixedRead::Read;
    }

    // Skips up to `n` characters without leaving the current line.
    void SkipWithinLine(std::size_t n) {
        for (std::size_t i = 0; i < n && !AtEnd() && !IsLineEnd(bytes_[pos_]); ++i) ++pos_;
    }

private:
    void ConsumeLineEnd() {
        if (AtEnd() || !IsLineEnd(bytes_[pos_])) return;
        pos_ += bytes_.compare(pos_, 2, "\r\n") == 0 ? 2 : 1;
        ++line_;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

std::string TooManyText(std::string_view what, std::string_view where, int limit,
                        std::string_view jobName) {
    const std::string n = NumberText(limit);
    const std::string job(jobName);
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + string&&.
    std::string text = "The maximum number of ";
    text.append(what).append(" allowed in a");
    text += NL;
    text.append(" ").append(where).append(" is ").append(n).append(".");
    text.append(" There are more ").append(what).append(" than");
    text += NL;
    text += " this in " + job + ".";
    text += NL;
    text += NL;
    text += " Only the first " + n + " " + std::string(what) + " in " + job + " will be loaded.";
    return text;
}

// Integer fields take whole numbers the way a 16-bit store does: halves to even.
double RoundHalfEven(double x) {
    double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return r;
}

class JobParser {
public:
    JobParser(std::string_view bytes, std::string_view jobName)
        : cursor_(bytes), jobName_(jobName) {}

    ParsedJob Run() {
        if (cursor_.AtEnd()) return std::move(result_);
        format3_ = cursor_.ReadLine() == kFormatMarker;
        while (!cursor_.OnlyBlankRemains()) {
            if (result_.sections.size() == static_cast<std::size_t>(kMaxSections)) {
                result_.messages.push_back(
                    {"Too Many Sections",
                     TooManyText("sections", "job file", kMaxSections, jobName_)});
                result_.readOnlyReason = "its file holds more than " + NumberText(kMaxSections) +
                                         " sections; only the first " + NumberText(kMaxSections) +
                                         " were loaded.";
                break;
            }
            Section section;
            if (!ReadSection(section)) break;
            result_.sections.push_back(std::move(section));
        }
        return std::move(result_);
    }

private:
    bool Fail(int errorNumber, int line, std::string detail) {
        result_.status = ParseStatus::Failed;
        result_.errorNumber = errorNumber;
        result_.errorLine = line;
        result_.errorDetail = std::move(detail);
        return false;
    }

    bool FailAtEnd() {
        return Fail(62, cursor_.Line(),
                    "the file ends inside section " + NumberText(SectionNumber()) + ".");
    }

    long SectionNumber() const { return static_cast<long>(result_.sections.size()) + 1; }

    bool ReadValue(double& value, std::string_view what) {
        auto token = cursor_.ReadToken(tokenLine_);
        if (!token) return FailAtEnd();
        token_ = *token;
        std::optional<double> number = ParseNumber(token_);
        if (!number) {
            return Fail(
                13, tokenLine_,
                "the " + std::string(what) + " \"" + Quoted(token_) + "\" is not a number.");
        }
        value = *number;
        return true;
    }

    bool ReadInt16(std::int16_t& out, std::string_view what, long low, long high) {
        double value = 0;
        if (!ReadValue(value, what)) return false;
        double whole = RoundHalfEven(value);
        if (whole < static_cast<double>(low) || whole > static_cast<double>(high)) {
            return Fail(13, tokenLine_,
                        "the " + std::string(what) + " " + Quoted(token_) + " is outside " +
                            NumberText(low) + " to " + NumberText(high) + ".");
        }
        out = Int16(static_cast<long>(whole));
        return true;
    }

    bool ReadSingle(float& out, std::string_view what) {
        double value = 0;
        if (!ReadValue(value, what)) return false;
        if (!std::isfinite(Single(value))) {
            return Fail(
                13, tokenLine_,
                "the " + std::string(what) + " " + Quoted(token_) + " is too large for its field.");
        }
        out = Single(value);
        return true;
    }

    bool ReadTimeStamp(double& out) {
        if (!ReadValue(out, "time stamp")) return false;
        if (out < kMinDaySerial || out > kMaxDaySerial) {
            return Fail(13, tokenLine_,
                        "the time stamp " + Quoted(token_) + " is outside " +
                            NumberText(static_cast<long>(kMinDaySerial)) + " to " +
                            NumberText(static_cast<long>(kMaxDaySerial)) + ".");
        }
        // Older files marked sections never analysed with 0 or -1.
        if (!format3_ && (out == 0 || out == -1)) out = kNotAnalysedSerial;
        return true;
    }

    bool ReadSection(Section& s) {
        s.SectionName = std::string(cursor_.ReadLine());
        std::int16_t layerCount = 0, aircraftCount = 0;
        if (!ReadStampLine(s) || !ReadCountsLine(s, layerCount, aircraftCount)) return false;
        s.Layers.resize(static_cast<std::size_t>(layerCount));
        for (SectionLayer& layer : s.Layers) {
            if (!ReadLayer(layer)) return false;
        }
        s.Layers.back().LayerThickness = 0;
        int surplus = 0;
        if (aircraftCount > kMaxAircraft) {
            result_.messages.push_back({"Too Many Aircraft", TooManyText("aircraft", "design list",
                                                                         kMaxAircraft, jobName_)});
            surplus = aircraftCount - kMaxAircraft;
            aircraftCount = kMaxAircraft;
            if (result_.readOnlyReason.empty())
                result_.readOnlyReason = "section " + s.SectionName + " holds more than " +
                                         NumberText(kMaxAircraft) + " aircraft; only the first " +
                                         NumberText(kMaxAircraft) + " were loaded.";
        }
        s.Aircraft.resize(static_cast<std::size_t>(aircraftCount));
        for (DesignAircraft& aircraft : s.Aircraft) {
            if (!ReadAircraft(aircraft)) return false;
        }
        for (int k = 0; k < surplus; ++k) {
            if (cursor_.AtEnd()) return FailAtEnd();
            cursor_.ReadLine();
        }
        return !format3_ || SkipSeparatorLines();
    }

    // Line B: the time stamp (after its text form in "Format3") and the asphalt CDF.
    bool ReadStampLine(Section& s) {
        if (format3_) {
            if (cursor_.AtEnd()) return FailAtEnd();
            cursor_.SkipWithinLine(kFormattedDateField);
        }
        return ReadTimeStamp(s.SectionTimeStamp) && ReadSingle(s.AsphaltCDF, "asphalt CDF");
    }

    // Line C: design life, SCI, CDFU and the two counts.
    bool ReadCountsLine(Section& s, std::int16_t& layerCount, std::int16_t& aircraftCount) {
        if (!ReadInt16(s.DesignLife, "design life", -32768, 32767) || !ReadSingle(s.SCI, "SCI") ||
            !ReadSingle(s.CDFU, "CDFU") || !ReadInt16(layerCount, "layer count", 1, kMaxLayers) ||
            !ReadInt16(aircraftCount, "aircraft count", 0, 32767)) {
            return false;
        }
        // A cracked existing pavement (SCI below 100) has used up its whole CDF.
        if (s.SCI < 100) s.CDFU = 100;
        return true;
    }

    bool ReadLayer(SectionLayer& layer) {
        float value = 0;
        if (!ReadSingle(layer.LayerThickness, "layer thickness") ||
            !ReadSingle(value, "layer modulus or strength") ||
            !ReadInt16(layer.LayerType, "layer type", 0, library::kLayerTypeCount - 1)) {
            return false;
        }
        // Concrete layers store their flexural strength in the stiffness column; their
        // modulus is always the material's default.
        if (library::IsPccLayer(layer.LayerType)) {
            layer.LayerFlexStrength = value;
            layer.LayerModulus = library::LayerMaterialOf(layer.LayerType).DefaultModulus;
        } else {
            layer.LayerModulus = value;
            layer.LayerFlexStrength = 0;
        }
        return true;
    }

    bool ReadAircraft(DesignAircraft& aircraft) {
        const std::size_t width = format3_ ? kNameField : kOldNameField;
        std::string_view field;
        const int line = cursor_.Line();
        switch (cursor_.ReadFixed(width, field)) {
            case Cursor::FixedRead::FileEnded:
                return FailAtEnd();
            case Cursor::FixedRead::LineEnded:
                return Fail(13, line,
                            "the aircraft name field is shorter than " +
                                NumberText(static_cast<long>(width)) + " characters.");
            case Cursor::FixedRead::Read:
                break;
        }
        std::size_t first = field.find_first_not_of(' ');
        std::size_t last = field.find_last_not_of(' ');
        aircraft.AircraftName = first == std::string_view::npos
                                    ? ""
                                    : std::string(field.substr(first, last - first + 1));
        // Files may carry this aircraft as "DT-777 C"; the library knows it as "DT-777".
        if (format3_ && aircraft.AircraftName == "DT-777 C") aircraft.AircraftName = "DT-777";
        aircraft.OverloadFlag = false;
        return ReadSingle(aircraft.GrossLoad, "gross load") &&
               ReadSingle(aircraft.AnnualDepartures, "annual departures") &&
               ReadSingle(aircraft.AnnualGrowth, "annual growth");
    }

    // The two empty lines after a section. A file that simply ends there is complete.
    bool SkipSeparatorLines() {
        for (int i = 0; i < 2 && !cursor_.AtEnd(); ++i) {
            const int line = cursor_.Line();
            std::string_view text = cursor_.ReadLine();
            if (!std::all_of(text.begin(), text.end(), IsBlank)) {
                return Fail(13, line, "the line \"" + Quoted(text) + "\" should be empty.");
            }
        }
        return true;
    }

    Cursor cursor_;
    std::string_view jobName_;
    bool format3_ = false;
    ParsedJob result_;
    int tokenLine_ = 0;
    std::string_view token_;
};

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += NL;
        out += line;
    }
    return out;
}

void ShowLongNames(const ProgramState& state, UserPort& ui, const std::string& path,
                   const std::vector<std::string>& names) {
    std::string text = "These aircraft names are longer than 20 characters:";
    text += Join(names);
    text += NL;
    text += NL;
    text += "They have been written to " + path;
    text += NL;
    text += "as their first 20 characters and will not be found";
    text += NL;
    text += "in the aircraft library when the job is read again.";
    ShowMessage(state, ui, text, Buttons::Ok, "Writing a Job File", Answer::Ok, Icon::Exclamation);
}

std::string EmptyFileText(const std::string& path) {
    std::string text = "File " + path + " is empty.";
    text += NL;
    text += NL;
    text += "Delete the job and create a new one.";
    text += NL;
    text += NL;
    text += "No action will be taken now.";
    return text;
}

void TakeSections(ProgramState& state, std::vector<Section> sections) {
    state.Sections = std::move(sections);
    state.SavedSections = state.Sections;
    state.CurrentSection = state.Sections.empty() ? 0 : 1;
}

}  // namespace

std::string FormatJob(const std::vector<Section>& sections) {
    std::string out(kFormatMarker);
    out += kCrLf;
    for (const Section& s : sections) AppendSection(out, s);
    return out;
}

std::vector<std::string> LongAircraftNames(const std::vector<Section>& sections) {
    std::vector<std::string> names;
    for (const Section& s : sections) {
        for (const DesignAircraft& aircraft : s.Aircraft) {
            if (aircraft.AircraftName.size() > static_cast<std::size_t>(kWrittenNameLength) &&
                std::find(names.begin(), names.end(), aircraft.AircraftName) == names.end()) {
                names.push_back(aircraft.AircraftName);
            }
        }
    }
    return names;
}

ParsedJob ParseJob(std::string_view bytes, std::string_view jobName) {
    // Every line a writer finishes ends in a line end, so a last line without one was cut
    // off (a save killed half-way by another program, a full disk): its last number may
    // have lost digits and still read as a number. Only the lines before it are read.
    const std::size_t lastEnd = bytes.find_last_of("\r\n");
    const std::size_t tailStart = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
    const std::string_view tail = bytes.substr(tailStart);
    const bool endMarked = tail.find(kEndOfFileMark) != std::string_view::npos;
    // A file of one line holds no section to cut.
    const bool cut = tailStart > 0 && !endMarked && !std::all_of(tail.begin(), tail.end(), IsBlank);
    if (!cut) return JobParser(bytes, jobName).Run();
    ParsedJob job = JobParser(bytes.substr(0, tailStart), jobName).Run();
    if (job.status == ParseStatus::Failed && job.errorNumber != 62) return job;
    int line = 1;
    for (std::size_t i = 0; i < tailStart; ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    job.status = ParseStatus::Failed;
    job.errorNumber = 62;
    job.errorLine = line;
    job.errorDetail = "the file ends inside this line (\"" + Quoted(tail) +
                      "\" has no line end), so the section in it is incomplete.";
    return job;
}

bool WriteJob(ProgramState& state, UserPort& ui) { return WriteJob(state, ui, {}); }

bool WriteJob(ProgramState& state, UserPort& ui, const std::vector<NoteChange>& notes) {
    if (IsSamplesJob(state.JobName)) {
        std::string text = "Job Samples is part of the system.";
        text += NL;
        text += "An external job of the same name";
        text += NL;
        text += "cannot be created.";
        ShowMessage(state, ui, text, Buttons::Ok, "Writing a Job File");
        return false;
    }
    for (Section& s : state.Sections) {
        if (!s.Layers.empty()) s.Layers.back().LayerThickness = 0;
    }
    if (SaveJobChanges(state, ui, notes) != SaveStatus::Saved) return false;
    const std::string path = JobFilePath(state, state.JobName);
    std::vector<std::string> longNames = LongAircraftNames(state.Sections);
    if (!longNames.empty()) ShowLongNames(state, ui, path, longNames);
    return true;
}

bool ReadJob(ProgramState& state, UserPort& ui) {
    const std::string path = JobFilePath(state, state.JobName);
    TakeSections(state, {});
    state.ReadOnlyReason.clear();
    for (;;) {
        ReadResult file = ReadWholeFile(path, kJobFileReadLimit);
        if (file.error != 0) {
            if (ReportFileError(state, ui, file.error, path, FileOperation::Reading, file.detail))
                continue;
            return true;
        }
        if (file.bytes.empty()) {
            ShowMessage(state, ui, EmptyFileText(path), Buttons::Ok, "Empty Job File");
            return true;
        }
        ParsedJob job = ParseJob(file.bytes, state.JobName);
        for (const JobMessage& m : job.messages)
            ShowMessage(state, ui, m.text, Buttons::Ok, m.title);
        TakeSections(state, std::move(job.sections));
        state.ReadOnlyReason = job.readOnlyReason;
        if (job.status == ParseStatus::Complete) return false;
        std::string detail =
            "The problem was found in line " + NumberText(job.errorLine) + ": " + job.errorDetail;
        // A file cut short still holds every section before the cut: they are opened, but
        // read-only, so that no save makes the loss permanent.
        const bool cut = job.errorNumber == 62;
        if (cut) {
            detail += NL;
            detail += NL;
            detail += "The sections before it have been opened read-only.";
        }
        if (!ReportFileError(state, ui, job.errorNumber, path, FileOperation::Reading, detail)) {
            if (!cut) return true;
            state.ReadOnlyReason = "its file ends inside line " + NumberText(job.errorLine) +
                                   ", so the section there could not be read.";
            return false;
        }
    }
}

std::string JobFilePath(const ProgramState& state, std::string_view jobName) {
    return state.ProgramDir + std::string(jobName) + ".JOB";
}

}  // namespace tavro::core
