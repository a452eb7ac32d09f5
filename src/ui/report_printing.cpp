#include "ui/report_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>
#include <cmath>

#include "control/gear_picture.h"
#include "core/program_state.h"
#include "design/report.h"
#include "ui/gear_painter.h"
#include "ui/qt_user_port.h"

namespace tavro::ui {

namespace {

// Width of a gear plan on paper as a share of the printable width, and its height as a
// share of its width.
constexpr double kGearWidthShare = 0.8;
constexpr double kGearAspect = 0.35;
// Pixels of the plan images across: fine enough for print.
constexpr int kGearImageWidthPx = 1800;
// Text documents size images in pixels of a 96 dpi screen, scaled to the paint device.
constexpr double kDocumentDpi = 96;

// A plan and its figures never run over a page end: the figures start a new page when the
// picture would not fit on the page they begin on. In order, since each break moves the
// plans after it.
void KeepTogether(QTextDocument& document,
                  const std::vector<std::pair<QTextBlock, QTextBlock>>& blocks, double pageHeight) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (const auto& [first, picture] : blocks) {
        const double top = layout->blockBoundingRect(first).top();
        const double bottom = layout->blockBoundingRect(picture).bottom();
        if (std::floor(top / pageHeight) == std::floor((bottom - 1) / pageHeight)) continue;
        QTextCursor at(first);
        QTextBlockFormat format = first.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        at.setBlockFormat(format);
    }
}

// Lays `text` out on `printer` page after page; `gears` follow the first `gearsAt` characters.
bool PrintDocument(QPrinter& printer, std::string_view text, const std::vector<ReportGear>& gears,
                   std::size_t gearsAt, const core::UnitSet& units) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QTextDocument document;
    document.setDefaultFont(ReportPrintFont());
    document.setDocumentMargin(0);  // the printer's page margins frame the text
    document.documentLayout()->setPaintDevice(&printer);
    // Painting starts at the top left of the printable area, so a page is that area.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    document.setPageSize(page.size());

    gearsAt = std::min(gearsAt, text.size());
    QTextCursor cursor(&document);
    std::vector<std::pair<QTextBlock, QTextBlock>> gearBlocks;  // figures' first line, picture
    cursor.insertText(ToQt(text.substr(0, gearsAt)));
    if (!gears.empty()) {
        const double width = page.width() * kDocumentDpi / printer.logicalDpiX() * kGearWidthShare;
        const QSize pixels(kGearImageWidthPx, qRound(kGearImageWidthPx * kGearAspect));
        cursor.insertText("\n\n  Main Gear Plans (to scale)\n");
        for (std::size_t i = 0; i < gears.size(); ++i) {
            const QUrl name(QString("tavro-gear-%1").arg(i));
            document.addResource(QTextDocument::ImageResource, name,
                                 GearPlanImage(gears[i].plan, units, pixels));
            cursor.insertText("\n");
            const QTextBlock first = cursor.block();
            for (const std::string& line : gears[i].figures)
                cursor.insertText(ToQt("  " + line) + "\n");
            QTextImageFormat image;
            image.setName(name.toString());
            image.setWidth(width);
            image.setHeight(width * kGearAspect);
            cursor.insertImage(image);
            gearBlocks.push_back({first, cursor.block()});
            cursor.insertText("\n");
        }
    }
    cursor.insertText(ToQt(text.substr(gearsAt)));
    KeepTogether(document, gearBlocks, page.height());

    for (int p = 0; p < document.pageCount(); ++p) {
        if (p > 0) printer.newPage();
        const QRectF shown(0, p * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        document.drawContents(&painter, shown);
        painter.restore();
    }
    return painter.end();
}

}  // namespace

QFont ReportPrintFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(10);
    return font;
}

void SetReportMargins(QPrinter& printer) {
    printer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
}

bool PrintReport(QPrinter& printer, std::string_view text) {
    return PrintDocument(printer, text, {}, text.size(), core::UnitSet{});
}

bool ExportReportPdf(const QString& path, std::string_view text) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetReportMargins(printer);
    return PrintReport(printer, text);
}

}  // namespace tavro::ui

namespace tavro::ui {

std::vector<ReportGear> SectionGearPlans(const core::ProgramState& state) {
    std::vector<ReportGear> gears;
    for (const core::DesignAircraft& a : state.Current.Aircraft) {
        const int lib = a.AircraftLibIndex;
        if (lib < 1 || lib > state.Aircraft.AircraftLibCount()) continue;
        const library::AircraftEntry& entry = state.Aircraft.Entry(lib);
        ReportGear gear;
        gear.plan = library::PlanGear(entry, a.GrossLoad);
        gear.figures = control::GearPlanFigures(entry, a.GrossLoad, gear.plan, state.Units);
        gears.push_back(std::move(gear));
    }
    return gears;
}

std::size_t GearPlansPosition(const core::ProgramState& state, std::string_view printText) {
    const std::string report = design::BuildReport(state).print;
    const std::size_t at = printText.find(report);
    return at == std::string_view::npos ? printText.size() : at + report.size();
}

bool PrintSectionReport(QPrinter& printer, const core::ProgramState& state,
                        std::string_view printText) {
    return PrintDocument(printer, printText, SectionGearPlans(state),
                         GearPlansPosition(state, printText), state.Units);
}

bool ExportSectionReportPdf(const QString& path, const core::ProgramState& state,
                            std::string_view printText) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetReportMargins(printer);
    return PrintSectionReport(printer, state, printText);
}

}  // namespace tavro::ui
