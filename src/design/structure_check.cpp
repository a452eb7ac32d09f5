#include "design/structure_check.h"

#include <array>
#include <initializer_list>
#include <string_view>

#include "core/messages.h"
#include "core/program_state.h"
#include "library/layer_library.h"

namespace tavro::design {

namespace {

constexpr std::string_view kTitle = "Checking the Structure";
constexpr std::string_view kPleaseChange = "Please change the structure.";

// Message lines joined with CR LF; an empty line makes a blank line.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) text += core::NL;
        text += line;
        first = false;
    }
    return text;
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (name == n) return true;
    return false;
}

struct LayerNames {
    int code = -1;  // -1: no such layer
    std::string_view name;
    std::string_view title;
};

class Structure {
public:
    explicit Structure(const std::vector<core::SectionLayer>& layers) : layers_(layers) {
        for (int i = 1; i <= Count(); ++i) ++codeCount_[static_cast<std::size_t>(At(i).code)];
    }
    int Count() const { return static_cast<int>(layers_.size()); }
    // Layer i, 1-based.
    LayerNames At(int i) const {
        if (i < 1 || i > Count()) return {};
        int code = layers_[static_cast<std::size_t>(i - 1)].LayerType;
        if (!library::IsValidLayerType(code)) code = 0;
        const library::LayerMaterial& m = library::LayerMaterialOf(code);
        return {code, m.LayerTypeName, m.LayerTypeTitle};
    }
    std::string_view Name(int i) const { return At(i).name; }
    int LayersOfCode(int code) const {
        return code < 0 ? 0 : codeCount_[static_cast<std::size_t>(code)];
    }

private:
    const std::vector<core::SectionLayer>& layers_;
    std::array<int, library::kLayerTypeCount> codeCount_{};
};

std::optional<std::string> CheckTop(const Structure& s) {
    const std::string_view top = s.Name(1);
    const std::string title(s.At(1).title);
    if (!IsOneOf(top, {"PCC", "Asphalt", "AC Overlay", "PCC Overlay Unbond",
                       "PCC Overlay Part Bond", "Undefined", "PCC Overlay on Flex."}))
        return Lines({title + " layers", "cannot be placed on the top ", "of a pavement structure.",
                      "", kPleaseChange});
    const std::string_view second = s.Name(2);
    if (top == "AC Overlay" && !IsOneOf(second, {"PCC", "Asphalt", "Undefined"}))
        return Lines({"Asphalt overlays can only be placed",
                      "over asphalt, PCC, or undefined layers.", "", kPleaseChange});
    if (IsOneOf(top, {"PCC Overlay Unbond", "PCC Overlay Part Bond"}) && second != "PCC")
        return Lines({title + " layers", "can only be placed over PCC layers.", "", kPleaseChange});
    if (top == "PCC Overlay on Flex." && !IsOneOf(second, {"Asphalt", "Undefined"}))
        return Lines({title + " layers", "can only be placed over asphalt",
                      "surface or undefined layers.", "", kPleaseChange});
    return std::nullopt;
}

std::optional<std::string> CheckBottom(const Structure& s) {
    if (IsOneOf(s.Name(s.Count()), {"Subgrade", "Undefined"})) return std::nullopt;
    return Lines({"Only Subgrade or Undefined layers can",
                  "be placed at the bottom of the structure.", "", kPleaseChange});
}

std::optional<std::string> CheckMiddleLayer(const Structure& s, int i) {
    const LayerNames layer = s.At(i);
    const std::string_view name = layer.name;
    const std::string_view above = s.Name(i - 1);
    if (IsOneOf(name, {"AC Overlay", "PCC Overlay Unbond", "PCC Overlay Part Bond",
                       "PCC Overlay on Flex."}))
        return Lines({"Overlays can only be placed", "on the top layer of a pavement",
                      "structure for the design", "procedure to succeed.", "", kPleaseChange});
    if (s.LayersOfCode(layer.code) > 1 &&
        IsOneOf(name,
                {"PCC", "Asphalt", "AC Overlay", "PCC Overlay Unbond", "PCC Overlay Part Bond",
                 "PCC Overlay on Flex.", "Ag Crushed", "Ag Uncrushed"}))
        return Lines({"Only one " + std::string(layer.title), "layer can be present in the",
                      "pavement structure for the", "design procedure to succeed.", "",
                      kPleaseChange});
    if (name == "Asphalt" && !IsOneOf(above, {"Undefined", "AC Overlay", "PCC Overlay on Flex."}))
        return Lines({"Asphalt layers can only be placed", "on the top layer of a pavement",
                      "structure or directly below an", "asphalt  or PCC overlay.", "",
                      kPleaseChange});
    if (name == "PCC" &&
        !IsOneOf(above, {"Undefined", "AC Overlay", "PCC Overlay Unbond", "PCC Overlay Part Bond"}))
        return Lines({"PCC layers can only be placed", "on the top layer of a pavement",
                      "structure or directly below an", "overlay.", "", kPleaseChange});
    if (above == "Ag Uncrushed" && name == "Ag Crushed")
        return Lines({"An aggregate base layer is located", "directly below an aggregate",
                      "subbase layer. This is not a valid", "structure for the design procedure.",
                      "", "Please change the structure so that ",
                      "the base is above the subbase."});
    if (name == "Subgrade")
        return Lines({"Subgrade layers can only be placed", "on the bottom layer of a pavement", "",
                      kPleaseChange});
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindStructureViolation(const std::vector<core::SectionLayer>& layers) {
    const Structure s(layers);
    if (auto why = CheckTop(s)) return why;
    if (auto why = CheckBottom(s)) return why;
    for (int i = 2; i <= s.Count() - 1; ++i)
        if (auto why = CheckMiddleLayer(s, i)) return why;
    return std::nullopt;
}

StructureStatus CheckStructure(const core::ProgramState& state, core::UserPort& ui) {
    const std::optional<std::string> why = FindStructureViolation(state.Current.Layers);
    if (!why) return StructureStatus::Valid;
    core::ShowMessage(state, ui, *why, core::Buttons::Ok, kTitle);
    return StructureStatus::Invalid;
}

}  // namespace tavro::design
