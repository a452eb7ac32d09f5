// The information report of a section: the text of the notes window's information face
// and the same report laid out for the printer and the clipboard.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavro::core {
struct ProgramState;
}

namespace tavro::design {

// The screen report is laid out with tab characters; the text box that shows it sets its tab
// stops here, in dialog units (a horizontal dialog unit is a quarter of the average character
// width of the box's font). The notes face uses the default stops, one every 32 units.
inline constexpr std::array<int, 5> kInfoTabStopsDlu{18, 98, 140, 188, 216};
inline constexpr int kNotesTabIntervalDlu = 32;

// The growth column is right-aligned under its heading ("% Annual" / "Growth"): in the print
// layout it ends in the heading's last column; on screen it follows a tab stop.
inline constexpr int kPrintGrowthWidth = 17;
inline constexpr int kScreenGrowthWidth = 8;

struct SectionReport {
    std::string screen;  // tab-separated columns, for the information face
    std::string print;   // spaces only, for a fixed-pitch font on paper and the clipboard
};

// Both layouts for the current section of `state`, in the job `state.JobName`, with values
// shown in `state.Units`. Lines end in CR LF. Uses the section's stored results (time stamp,
// AsphaltCDF) and the derived flags StructureDefined, HasB777 and MixedTraffic as they stand,
// so the caller loads or prepares the section first. A time stamp outside the range of day
// serials counts as not analysed; an invalid layer type code reads as "Undefined".
SectionReport BuildReport(const core::ProgramState& state);

enum class ReportDestination { Printer, Clipboard };

// What Print and Copy send: (Printer only: four empty lines,) the print report, a blank line,
// "NOTES" right-aligned in 32 columns, a blank line and the note text as stored.
std::string ReportWithNotes(const SectionReport& report, std::string_view notesText,
                            ReportDestination destination);

}  // namespace tavro::design
