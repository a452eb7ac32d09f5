// Report text on paper and in PDF files: a fixed-pitch font keeps the space-aligned
// columns of the printed report in line, and lines move to a new page when one is full.
#pragma once

#include <QFont>
#include <QString>
#include <string_view>

class QPrinter;

namespace tavro::ui {

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
