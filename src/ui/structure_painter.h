// The one painter of the structure drawing: the window, the clipboard, the printer and PDF
// files all draw through it.
#pragma once

#include <QColor>

#include "control/structure_layout.h"

class QPainter;
class QFont;

namespace tavro::ui {

// Text sizes of `font` for the layout.
control::LayoutMetrics MetricsFor(const QFont& font, double width, double height);

// Fill colour and pattern of a layer type's band.
QColor LayerFill(int type);
Qt::BrushStyle LayerPattern(int type);

void PaintStructure(QPainter& painter, const control::StructureLayout& layout);

}  // namespace tavro::ui
