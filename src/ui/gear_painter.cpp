#include "ui/gear_painter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "control/gear_picture.h"
#include "core/number_format.h"

namespace tavro::ui {

void PaintGearPlan(QPainter& p, const QRectF& area, const library::GearPlan& plan,
                   const core::UnitSet& units) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(area, Qt::white);
    p.setClipRect(area);
    const double span = control::GearPictureSpanIn(plan);
    const double tall = control::GearPictureHeightIn(plan, area.height() / area.width());
    const double scale = std::min(area.width() / span, area.height() / tall);  // px per inch
    const QPointF centre = area.center();
    const auto at = [&](double xIn, double yIn) {
        return QPointF(centre.x() + xIn * scale, centre.y() - yIn * scale);
    };

    QPen centreline(Qt::gray, 1, Qt::DashLine);
    centreline.setCosmetic(true);
    p.setPen(centreline);
    p.drawLine(QPointF(centre.x(), area.top()), QPointF(centre.x(), area.bottom()));

    QPen outline(Qt::black, 1);
    outline.setCosmetic(true);
    p.setPen(outline);
    p.setBrush(QColor(64, 64, 64));
    double outer = 0;
    for (const library::PlanTire& t : plan.tires) {
        p.drawEllipse(at(t.xIn, t.yIn), t.widthIn * scale / 2, t.lengthIn * scale / 2);
        outer = std::max(outer, std::abs(t.xIn));
    }
    if (outer > 0) {
        // Dimension of the outermost tire centres, under the tires.
        const QFontMetricsF metrics(p.font());
        const double y = centre.y() + plan.halfLengthIn * scale + metrics.height();
        const double left = centre.x() - outer * scale, right = centre.x() + outer * scale;
        const double tick = metrics.height() / 3;
        p.drawLine(QPointF(left, y), QPointF(right, y));
        p.drawLine(QPointF(left, y - tick), QPointF(left, y + tick));
        p.drawLine(QPointF(right, y - tick), QPointF(right, y + tick));
        const QString label = QString::fromStdString(
            core::FormatMask(2 * outer * units.thickness.factor, units.thickness.mask) + " " +
            units.thickness.label);
        const double w = metrics.horizontalAdvance(label);
        const QRectF box(centre.x() - w / 2 - 2, y + tick, w + 4, metrics.height());
        p.fillRect(box, Qt::white);
        p.drawText(box, Qt::AlignCenter, label);
    }
    p.restore();
}

QImage GearPlanImage(const library::GearPlan& plan, const core::UnitSet& units, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    // Text in proportion to the picture, however many pixels it has.
    QFont font = p.font();
    font.setPixelSize(std::max(10, size.width() / 50));
    p.setFont(font);
    PaintGearPlan(p, QRectF(QPointF(0, 0), QSizeF(size)), plan, units);
    return image;
}

}  // namespace tavro::ui
