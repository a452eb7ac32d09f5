// Scale, figures and SVG text of the gear plan.
#include "control/gear_picture.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"

namespace tavro::control {

namespace {

using core::FormatMask;

// Room above and below the tires, as a share of the plan's own length.
constexpr double kLengthMargin = 1.6;
// Text height as a share of the picture's width.
constexpr double kTextShare = 1.0 / 45;

std::string Num(double v) { return FormatMask(v, "0.###"); }

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Length(double in, const core::UnitSet& u) {
    return FormatMask(in * u.thickness.factor, u.thickness.mask) + " " + u.thickness.label;
}

}  // namespace

double GearPictureSpanIn(const library::GearPlan& plan) {
    return std::max(kGearPictureSpanIn, 2 * plan.halfWidthIn / kGearPictureFill);
}

double GearPictureHeightIn(const library::GearPlan& plan, double aspect) {
    return std::max(GearPictureSpanIn(plan) * aspect, 2 * plan.halfLengthIn * kLengthMargin);
}

std::vector<std::string> GearPlanFigures(const library::AircraftEntry& e, float grossLoad,
                                         const library::GearPlan& plan, const core::UnitSet& u) {
    std::vector<std::string> lines;
    lines.push_back(e.AcName);
    lines.push_back("Gross Taxi Weight " + FormatMask(grossLoad * u.load.factor, u.load.mask) +
                    " " + u.load.label + ", " + FormatMask(e.AcGearShare * 100.0, "##0.0") +
                    " % GW on Gear, Tire Pressure " +
                    FormatMask(e.AcTirePressure * u.pressure.factor, u.pressure.mask) + " " +
                    u.pressure.label);
    std::string geometry =
        "Tire contact " + Length(plan.contactWidthIn, u) + " x " + Length(plan.contactLengthIn, u);
    const bool dual = e.AcGearCode != "B" && e.AcGearCode != "E";
    if (dual) geometry += ", dual spacing " + Length(e.AcS1, u);
    if (e.AcTandem > 0) geometry += ", tandem spacing " + Length(e.AcTandem, u);
    lines.push_back(geometry);
    return lines;
}

std::string GearPlanSvg(const library::GearPlan& plan, const std::vector<std::string>& figures,
                        const core::UnitSet& u) {
    const double f = u.thickness.factor;
    const double width = GearPictureSpanIn(plan) * f;
    const double drawing = GearPictureHeightIn(plan, 0.5) * f;
    const double text = width * kTextShare;
    const double height = drawing + text * (1.6 * static_cast<double>(figures.size()) + 1);
    const double top = -drawing / 2;
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"" +
         Num(800 * height / width) + "\" viewBox=\"" + Num(-width / 2) + " " + Num(top) + " " +
         Num(width) + " " + Num(height) + "\">\n";
    s += "<desc>Main gear plan to scale; lengths in " + u.thickness.label + "</desc>\n";
    s += "<rect x=\"" + Num(-width / 2) + "\" y=\"" + Num(top) + "\" width=\"" + Num(width) +
         "\" height=\"" + Num(height) + "\" fill=\"white\"/>\n";
    s += "<line x1=\"0\" y1=\"" + Num(top) + "\" x2=\"0\" y2=\"" + Num(drawing / 2) +
         "\" stroke=\"gray\" stroke-width=\"" + Num(text / 10) + "\" stroke-dasharray=\"" +
         Num(text) + " " + Num(text / 2) + "\"/>\n";
    for (const library::PlanTire& t : plan.tires) {
        s += "<ellipse cx=\"" + Num(t.xIn * f) + "\" cy=\"" + Num(-t.yIn * f) + "\" rx=\"" +
             Num(t.widthIn * f / 2) + "\" ry=\"" + Num(t.lengthIn * f / 2) +
             "\" fill=\"#404040\" stroke=\"black\" stroke-width=\"" + Num(text / 12) + "\"/>\n";
    }
    // The distance between the outermost tire centres, drawn under the tires.
    double outer = 0;
    for (const library::PlanTire& t : plan.tires) outer = std::max(outer, std::abs(t.xIn));
    if (outer > 0) {
        const double dy = plan.halfLengthIn * f + text * 1.5;
        const std::string stroke =
            "\" stroke=\"black\" stroke-width=\"" + Num(text / 12) + "\"/>\n";
        s += "<line x1=\"" + Num(-outer * f) + "\" y1=\"" + Num(dy) + "\" x2=\"" + Num(outer * f) +
             "\" y2=\"" + Num(dy) + stroke;
        for (double x : {-outer * f, outer * f})
            s += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(dy - text / 2) + "\" x2=\"" + Num(x) +
                 "\" y2=\"" + Num(dy + text / 2) + stroke;
        s += "<text x=\"0\" y=\"" + Num(dy + text * 1.3) +
             "\" text-anchor=\"middle\" font-family=\"sans-serif\" font-size=\"" + Num(text) +
             "\">" + Escaped(Length(2 * outer, u)) + "</text>\n";
    }
    double y = drawing / 2 + text * 1.4;
    for (const std::string& line : figures) {
        s += "<text x=\"" + Num(-width / 2 + text) + "\" y=\"" + Num(y) +
             "\" font-family=\"sans-serif\" font-size=\"" + Num(text) + "\">" + Escaped(line) +
             "</text>\n";
        y += text * 1.6;
    }
    s += "</svg>\n";
    return s;
}

}  // namespace tavro::control
