#include "ui/report_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include "ui/qt_user_port.h"

namespace tavro::ui {

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
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QTextDocument document;
    document.setDefaultFont(ReportPrintFont());
    document.setDocumentMargin(0);  // the printer's page margins frame the text
    document.documentLayout()->setPaintDevice(&printer);
    document.setPlainText(ToQt(text));
    // Painting starts at the top left of the printable area, so a page is that area.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    document.setPageSize(page.size());
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

bool ExportReportPdf(const QString& path, std::string_view text) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    SetReportMargins(printer);
    return PrintReport(printer, text);
}

}  // namespace tavro::ui
