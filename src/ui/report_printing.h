// Report text on paper and in PDF files: a fixed-pitch font keeps the space-aligned
// columns of the printed report in line, and lines move to a new page when one is full.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "core/units.h"
#include "library/gear_plan.h"

class QPrinter;

namespace tavro::core {
struct ProgramState;
}

namespace tavro::ui {

// One gear plan of a printed report: its figures (one line each) and the plan.
struct ReportGear {
    std::vector<std::string> figures;
    library::GearPlan plan;
};

// The gear plans of the current section's design aircraft, in list order (aircraft not in
// the library have none).
std::vector<ReportGear> SectionGearPlans(const core::ProgramState& state);

// Where the gear plans go in `printText` (the report with its note as Print sends it):
// right after the aircraft table of the current section's report; the end when the report
// is not found in it.
std::size_t GearPlansPosition(const core::ProgramState& state, std::string_view printText);

// Prints the section report `printText` of the current section with the gear plans of its
// design aircraft after the aircraft table, page after page. false when the printer could
// not be started.
bool PrintSectionReport(QPrinter& printer, const core::ProgramState& state,
                        std::string_view printText);

// The same as a PDF file at `path`. false when the file could not be written.
bool ExportSectionReportPdf(const QString& path, const core::ProgramState& state,
                            std::string_view printText);

// The font printed reports use.
QFont ReportPrintFont();

// Page margins of printed reports.
void SetReportMargins(QPrinter& printer);

// Prints `text` (CR LF line breaks) on `printer`, page after page, long lines wrapped.
// false when the printer could not be started (no pages were made).
bool PrintReport(QPrinter& printer, std::string_view text);

// Writes `text` as the PDF file `path`, laid out exactly as PrintReport lays it out on
// paper. false when the file could not be written.
bool ExportReportPdf(const QString& path, std::string_view text);

}  // namespace tavro::ui
