// The one painter of the gear plan: the gear view's picture, the copy on the clipboard and
// the plans of the printed report all come from here.
#pragma once

#include <QImage>
#include <QRectF>

#include "core/units.h"
#include "library/gear_plan.h"

class QPainter;

namespace tavro::ui {

// Paints `plan` into `area` to scale (the common scale of every plan that fits 600 in), the
// centreline dashed, forward at the top, the distance between the outermost tire centres
// dimensioned in the length unit of `units`.
void PaintGearPlan(QPainter& painter, const QRectF& area, const library::GearPlan& plan,
                   const core::UnitSet& units);

// The plan as an image of `size` pixels (white background).
QImage GearPlanImage(const library::GearPlan& plan, const core::UnitSet& units, QSize size);

}  // namespace tavro::ui
