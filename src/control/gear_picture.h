// The gear plan as a picture, without any drawing library: the scale every gear drawing
// uses, the figures printed beside it, and the plan as an SVG document.
#pragma once

#include <string>
#include <vector>

#include "core/units.h"
#include "library/gear_plan.h"

namespace tavro::control {

// The picture is 600 units wide, one unit an inch, centred on the aircraft centreline.
inline constexpr double kGearPictureSpanIn = 600;
// Share of the picture's width a plan may fill before the picture shows more inches.
inline constexpr double kGearPictureFill = 0.9;

// Inches across the picture: 600, or more when the plan would not fit with a margin, so
// that every aircraft that fits is drawn to one common scale.
double GearPictureSpanIn(const library::GearPlan& plan);

// Inches top to bottom for a picture `aspect` (height / width) as tall as it is wide.
double GearPictureHeightIn(const library::GearPlan& plan, double aspect);

// The figures of one aircraft that go with its plan: name, gross load, % on one main gear,
// tire pressure, contact size and spacings, in the display units of `units`.
std::vector<std::string> GearPlanFigures(const library::AircraftEntry& entry, float grossLoad,
                                         const library::GearPlan& plan, const core::UnitSet& units);

// The plan as a standalone SVG document to scale: lengths in the display length unit
// (inches or millimetres), y upwards in the aircraft's frame (forward at the top), the
// centreline dashed, the `figures` as text below the drawing.
std::string GearPlanSvg(const library::GearPlan& plan, const std::vector<std::string>& figures,
                        const core::UnitSet& units);

}  // namespace tavro::control
