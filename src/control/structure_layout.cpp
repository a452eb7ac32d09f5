// Placement of the structure drawing from the section and the text sizes of the painter.
#include "control/structure_layout.h"

#include <algorithm>
#include <cmath>

#include "control/subgrade.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "library/layer_library.h"

namespace tavro::control {

namespace {

constexpr double kSubgradeShare = 0.15;   // subgrade band height as a share of the total
constexpr double kAvailableShare = 0.88;  // of the height below the heading
constexpr double kMinBandTextHeights = 1.5;

LayoutText TextAt(double left, double top, const std::string& text, const LayoutMetrics& m) {
    const double w = m.textWidth ? m.textWidth(text) : 8.0 * static_cast<double>(text.size());
    return {{left, top, left + w, top + m.textHeight}, text};
}

LayoutText Centred(const Box& within, const std::string& text, const LayoutMetrics& m) {
    const double w = m.textWidth ? m.textWidth(text) : 8.0 * static_cast<double>(text.size());
    const double left = within.left + (within.Width() - w) / 2;
    const double top = within.top + (within.Height() - m.textHeight) / 2;
    return {{left, top, left + w, top + m.textHeight}, text};
}

std::string MarkerText(const core::CurrentSectionRecord& s) {
    const bool structure = !s.StructureDefined;
    const bool life = s.DesignLife != 20;
    if (structure && life) return "Non-Standard Structure and Life";
    if (structure) return "Non-Standard Structure";
    if (life) return "Non-Standard Life";
    return "";
}

}  // namespace

Hit HitTest(const StructureLayout& layout, double x, double y) {
    Hit hit;
    hit.marker = !layout.marker.text.empty() && layout.marker.box.Contains(x, y);
    for (const LayoutBand& band : layout.bands) {
        if (y > band.band.top && y < band.band.bottom) {
            hit.layer = band.layer;
            hit.materialLabel = band.material.box.Contains(x, y);
            break;
        }
    }
    hit.lifeBox = layout.lifeBox.box.Contains(x, y);
    hit.sciBox = !layout.sciBox.text.empty() && layout.sciBox.box.Contains(x, y);
    hit.cdfuBox = !layout.cdfuBox.text.empty() && layout.cdfuBox.box.Contains(x, y);
    hit.arrowColumn = x > layout.arrowColumn.left && x < layout.arrowColumn.right;
    hit.thicknessColumn = x > layout.thicknessColumn.left && x < layout.thicknessColumn.right;
    hit.modulusColumn = x > layout.modulusColumn.left && x < layout.modulusColumn.right;
    return hit;
}

std::vector<double> BandHeights(const std::vector<double>& thicknesses, double available,
                                double minBand) {
    std::vector<double> drawn = thicknesses;
    double total = 0;
    for (double& t : drawn) {
        if (!(t > 0)) t = 0;
        total += t;
    }
    if (total <= 0) {
        // Nothing to scale by: every layer gets the same share.
        for (double& t : drawn) t = 1;
        total = static_cast<double>(drawn.size());
        if (total == 0) total = 1;
    }
    double scale = available / ((1 + kSubgradeShare) * total);
    bool raised = false;
    for (double& t : drawn) {
        if (t * scale < minBand) {
            t = minBand / scale;
            raised = true;
        }
    }
    if (raised) {
        total = 0;
        for (double t : drawn) total += t;
        scale = available / ((1 + kSubgradeShare) * total);
    }
    std::vector<double> heights;
    for (double t : drawn) heights.push_back(t * scale);
    heights.push_back(kSubgradeShare * total * scale);
    return heights;
}

StructureLayout LayoutStructure(const core::ProgramState& state, const PictureState& picture,
                                const LayoutMetrics& m) {
    const core::CurrentSectionRecord& s = state.Current;
    const core::UnitSet& u = state.Units;
    StructureLayout out;
    const double th = m.textHeight;
    const double margin = th / 2;

    // Heading line with the life, SCI and %CDFU boxes after it.
    out.heading = TextAt(margin, margin, state.JobName + "   " + s.SectionName, m);
    double x = out.heading.box.right + th;
    auto box = [&](const std::string& text) {
        LayoutText t = TextAt(x, margin, text, m);
        t.box.top -= 2;
        t.box.bottom += 2;
        x = t.box.right + th / 2;
        return t;
    };
    out.lifeBox = box(" Des. Life = " + core::FormatMask(s.DesignLife, "0"));
    if (s.ExistingPavement) {
        out.sciBox = box(" SCI = " + core::FormatMask(s.SCI, "0") + " ");
        out.cdfuBox = box(" %CDFU = " + core::FormatMask(s.CDFU, "0") + " ");
    }

    // Columns: arrow, the layers to scale, thickness, modulus, material.
    const double top = margin + 2.5 * th;
    auto width = [&](std::string_view t) {
        return m.textWidth ? m.textWidth(t) : 8.0 * static_cast<double>(t.size());
    };
    const double arrowW = width("-->") + th;
    const double numberW = std::max(width("Thickness"), width("k = 9,999.9 MN/m^3")) + th;
    const double materialW = std::max(width("Material"), width("Stab. Base (Flexible)")) + th;
    // The bands take what the columns leave, within reason: a very wide window does not
    // stretch them into a bar chart.
    constexpr double kMaxBandTextHeights = 14;
    const double bandW = std::clamp(m.width - 2 * margin - arrowW - 2 * numberW - materialW, 4 * th,
                                    kMaxBandTextHeights * th);
    out.arrowColumn = {margin, top, margin + arrowW, 0};
    const Box bandColumn{out.arrowColumn.right, top, out.arrowColumn.right + bandW, 0};
    out.thicknessColumn = {bandColumn.right, top, bandColumn.right + numberW, 0};
    out.modulusColumn = {out.thicknessColumn.right, top, out.thicknessColumn.right + numberW, 0};
    out.materialColumn = {out.modulusColumn.right, top, out.modulusColumn.right + materialW, 0};
    const Box& materialColumn = out.materialColumn;
    auto heading = [&](const Box& column, const std::string& text, const std::string& unit) {
        out.headings.push_back(Centred({column.left, top, column.right, top + th}, text, m));
        if (!unit.empty())
            out.headings.push_back(
                Centred({column.left, top + th, column.right, top + 2 * th}, "(" + unit + ")", m));
    };
    heading(bandColumn, "Layer", "");
    heading(out.thicknessColumn, "Thickness", u.thickness.label);
    heading(out.modulusColumn, "Modulus", u.modulus.label);
    heading(materialColumn, "Material", "");

    // Bands to scale below the headings; the progress line under them.
    const double bandsTop = top + 2.5 * th;
    const double below = m.height - bandsTop - 2 * th;
    const double available = kAvailableShare * std::max(below, 0.0);
    std::vector<double> thicknesses;
    for (int i = 0; i + 1 < s.LayerCount(); ++i)
        thicknesses.push_back(s.Layers[static_cast<std::size_t>(i)].LayerThickness);
    const std::vector<double> heights =
        BandHeights(thicknesses, available, kMinBandTextHeights * th);
    const bool flexible = IsFlexibleStructure(s);
    double y = bandsTop;
    for (int i = 1; i <= s.LayerCount(); ++i) {
        const core::SectionLayer& layer = s.Layers[static_cast<std::size_t>(i - 1)];
        LayoutBand b;
        b.layer = i;
        b.type = layer.LayerType;
        b.selected = i == picture.selectedLayer;
        b.designLayer = i == picture.designLayer;
        const double h = heights[static_cast<std::size_t>(i - 1)];
        b.band = {bandColumn.left, y, bandColumn.right, y + h};
        const Box row{0, y, 0, y + h};
        std::string thickness;
        if (i < s.LayerCount())
            thickness =
                core::FormatMask(layer.LayerThickness * u.thickness.factor, u.thickness.mask);
        else if (flexible)
            thickness = "CBR = " + core::FormatMask(SubgradeCbr(layer.LayerModulus), "0.0");
        else
            thickness =
                "k = " + core::FormatMask(SubgradeK(layer.LayerModulus) * u.subgradeReaction.factor,
                                          u.subgradeReaction.mask);
        const double value =
            layer.LayerFlexStrength > 0 ? layer.LayerFlexStrength : layer.LayerModulus;
        b.thickness =
            Centred({out.thicknessColumn.left, row.top, out.thicknessColumn.right, row.bottom},
                    thickness, m);
        b.modulus = Centred({out.modulusColumn.left, row.top, out.modulusColumn.right, row.bottom},
                            core::FormatMask(value * u.modulus.factor, u.modulus.mask), m);
        const std::string abbrev =
            library::IsValidLayerType(layer.LayerType)
                ? std::string(library::LayerMaterialOf(layer.LayerType).LayerTypeAbbrev)
                : "?";
        b.material = TextAt(materialColumn.left + th / 2, row.top + (h - th) / 2, abbrev, m);
        out.bands.push_back(b);
        y += h;
    }
    out.arrowColumn.bottom = out.thicknessColumn.bottom = out.modulusColumn.bottom =
        out.materialColumn.bottom = y;

    // The non-standard marker, centred in the thickest layer's band (the first of equals).
    const std::string marker = MarkerText(s);
    if (!marker.empty() && !out.bands.empty()) {
        std::size_t thickest = 0;
        for (std::size_t i = 0; i + 1 < s.Layers.size(); ++i)
            if (s.Layers[i].LayerThickness > s.Layers[thickest].LayerThickness) thickest = i;
        out.marker = Centred(out.bands[thickest].band, marker, m);
    }

    const Box under{margin, y + th / 2, out.materialColumn.right, y + 1.5 * th};
    out.progress = Centred(under, core::ProgressLine(picture.progress, u), m);
    return out;
}

}  // namespace tavro::control
