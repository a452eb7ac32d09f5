// The picture of the structure window without any painter: heading, boxes, columns, one band
// per layer drawn to scale, the non-standard marker and the progress line, all placed from
// the text sizes handed in; HitTest says what a click at a point lies in.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_progress.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;
    // Strictly between both bounds; an empty box contains nothing.
    bool Contains(double x, double y) const {
        return x > left && x < right && y > top && y < bottom;
    }
    bool Empty() const { return right <= left || bottom <= top; }
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

struct LayoutMetrics {
    double width = 640;
    double height = 480;
    double textHeight = 16;
    std::function<double(std::string_view)> textWidth;  // of one line of text
};

struct LayoutText {
    Box box;
    std::string text;
};

struct LayoutBand {
    int layer = 0;             // 1-based
    Box band;                  // the filled rectangle, drawn to scale
    std::int16_t type = 0;     // layer type code (fill colour and style)
    bool selected = false;     // filled light orange instead
    bool designLayer = false;  // "-->" in the arrow column
    LayoutText thickness, modulus, material;
};

struct StructureLayout {
    LayoutText heading;
    LayoutText lifeBox, sciBox, cdfuBox;  // SCI and %CDFU empty unless an existing pavement
    std::vector<LayoutText> headings;     // column headings and their unit lines
    Box arrowColumn, thicknessColumn, modulusColumn, materialColumn;
    std::vector<LayoutBand> bands;
    LayoutText marker;  // empty when the section is standard
    LayoutText progress;
};

// What a point of the drawing lies in.
struct Hit {
    bool marker = false;
    int layer = 0;  // first layer whose band holds the height, 0 = none
    bool lifeBox = false, sciBox = false, cdfuBox = false;
    bool arrowColumn = false, thicknessColumn = false, modulusColumn = false;
    bool materialLabel = false;  // the material label of `layer`
};

Hit HitTest(const StructureLayout& layout, double x, double y);

// Inputs of the picture besides the section.
struct PictureState {
    int selectedLayer = 0;
    int designLayer = 0;
    core::RunProgress progress;
};

StructureLayout LayoutStructure(const core::ProgramState& state, const PictureState& picture,
                                const LayoutMetrics& metrics);

// Band heights in drawing units for thicknesses `drawn` (layers above the subgrade) in an
// available height, with no band lower than `minBand`: the subgrade band is 0.15 of the
// total, the scale the available height over 1.15 of it. Exposed for tests.
std::vector<double> BandHeights(const std::vector<double>& thicknesses, double available,
                                double minBand);

}  // namespace tavro::control
