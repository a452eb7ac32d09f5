#include "ui/structure_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <array>

namespace tavro::ui {

namespace {

const QColor kSelectedFill(255, 192, 128);  // light orange

QRectF Rect(const control::Box& b) { return QRectF(b.left, b.top, b.Width(), b.Height()); }

void Text(QPainter& p, const control::LayoutText& t, int flags = Qt::AlignCenter) {
    if (t.text.empty()) return;
    p.drawText(Rect(t.box).adjusted(-2, 0, 2, 0), flags | Qt::TextDontClip,
               QString::fromStdString(t.text));
}

}  // namespace

control::LayoutMetrics MetricsFor(const QFont& font, double width, double height) {
    const QFontMetricsF fm(font);
    control::LayoutMetrics m;
    m.width = width;
    m.height = height;
    m.textHeight = fm.height();
    m.textWidth = [fm](std::string_view t) {
        return fm.horizontalAdvance(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
    };
    return m;
}

QColor LayerFill(int type) {
    static const std::array<QColor, 18> fills = {
        QColor(230, 230, 230),  // Undefined
        QColor(70, 70, 70),     // Asphalt
        QColor(205, 170, 125),  // Base
        QColor(222, 200, 160),  // Subbase
        QColor(160, 120, 80),   // Subgrade
        QColor(200, 200, 200),  // PCC
        QColor(190, 160, 110),  // Ag Crushed
        QColor(150, 150, 170),  // St (Rigid)
        QColor(215, 190, 140),  // Ag Uncrushed
        QColor(120, 120, 140),  // St (Flexible)
        QColor(40, 40, 40),     // AC Overlay
        QColor(175, 185, 200),  // PCC Overlay Unbond
        QColor(185, 195, 210),  // PCC Overlay Part Bond
        QColor(210, 210, 215),  // PCC Overlay on Flex.
        QColor(110, 110, 135),  // stabilized bases with fixed moduli
        QColor(125, 125, 150), QColor(140, 140, 160), QColor(155, 155, 175)};
    return type >= 0 && type < 18 ? fills[static_cast<std::size_t>(type)] : fills[0];
}

Qt::BrushStyle LayerPattern(int type) {
    switch (type) {
        case 0:
            return Qt::BDiagPattern;
        case 6:
        case 8:
            return Qt::Dense5Pattern;
        case 2:
        case 3:
            return Qt::Dense6Pattern;
        case 4:
            return Qt::Dense4Pattern;
        default:
            return Qt::SolidPattern;
    }
}

void PaintStructure(QPainter& p, const control::StructureLayout& l) {
    p.save();
    p.setPen(Qt::black);
    Text(p, l.heading, Qt::AlignLeft | Qt::AlignVCenter);
    for (const control::LayoutText* box : {&l.lifeBox, &l.sciBox, &l.cdfuBox}) {
        if (box->text.empty()) continue;
        p.drawRect(Rect(box->box));
        Text(p, *box);
    }
    for (const control::LayoutText& h : l.headings) Text(p, h);
    for (const control::LayoutBand& b : l.bands) {
        const QRectF band = Rect(b.band);
        if (b.selected) {
            p.fillRect(band, kSelectedFill);
        } else {
            p.fillRect(band, Qt::white);
            p.fillRect(band, QBrush(LayerFill(b.type), LayerPattern(b.type)));
        }
        p.drawRect(band);
        p.drawLine(QPointF(band.right(), b.band.bottom),
                   QPointF(l.materialColumn.right, b.band.bottom));
        if (b.designLayer) {
            control::LayoutText arrow{
                {l.arrowColumn.left, b.band.top, l.arrowColumn.right, b.band.bottom}, "-->"};
            Text(p, arrow);
        }
        Text(p, b.thickness);
        Text(p, b.modulus);
        Text(p, b.material, Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (!l.marker.text.empty()) {
        const QRectF r = Rect(l.marker.box).adjusted(-4, -1, 4, 1);
        p.fillRect(r, Qt::white);
        p.setPen(Qt::red);
        Text(p, l.marker);
        p.setPen(Qt::black);
    }
    Text(p, l.progress);
    p.restore();
}

}  // namespace tavro::ui
