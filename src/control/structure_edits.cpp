// The entries of the structure window: life, SCI, %CDFU, layer type, thickness, subgrade
// strength, modulus and flexural strength, Add/Delete, with their ranges, clamps, defaults
// and messages.
#include <algorithm>
#include <cmath>

#include "control/structure_controller.h"
#include "control/subgrade.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "library/layer_library.h"

namespace tavro::control {

namespace {

using core::JoinLines;
using library::LayerMaterialOf;

constexpr int kMinLife = 1;
constexpr int kMaxLife = 50;
constexpr int kDefaultLife = 20;
constexpr float kCrackedCdfu = 100;  // %CDFU of an existing pavement with SCI below 100

const std::string kKeepOld = "Click Cancel at any time to retain the old value.";

std::string Name(const core::SectionLayer& layer) {
    return std::string(library::LayerTypeName(layer.LayerType));
}

}  // namespace

core::SectionLayer& StructureController::Layer(int layer) {
    return state_.Current.Layers.at(static_cast<std::size_t>(layer - 1));
}
const core::SectionLayer& StructureController::Layer(int layer) const {
    return state_.Current.Layers.at(static_cast<std::size_t>(layer - 1));
}

void StructureController::EditLife() {
    if (Locked() || Samples()) return;
    const std::string prompt =
        "Enter a new value for life in years. Life is always a whole number in the range: " +
        core::FormatMask(kMinLife, "##,##0") + " to " + core::FormatMask(kMaxLife, "#,##0") + "." +
        std::string(core::NL) + std::string(core::NL) + kKeepOld;
    float value = state_.Current.DesignLife;
    if (!core::PromptNumber(state_, ui_, prompt, "Changing Pavement Life", value)) return;
    // Halves go to the even neighbour (the default rounding mode).
    const double rounded = std::nearbyint(static_cast<double>(value));
    if (rounded < kMinLife || rounded > kMaxLife) {
        state_.Current.DesignLife = kDefaultLife;
        core::ShowMessage(
            state_, ui_,
            JoinLines({"Pavement life cannot be outside",
                       " the range " + core::FormatMask(kMinLife, "0") + " to " +
                           core::FormatMask(kMaxLife, "#,##0") + " years.",
                       "",
                       "Life has been set to " + core::FormatMask(kDefaultLife, "0") + " years."}),
            core::Buttons::Ok, "Changing Pavement Life");
    } else {
        state_.Current.DesignLife = core::Int16(static_cast<long>(rounded));
    }
    Changed();
}

void StructureController::EditSci() {
    if (Locked() || Samples() || state_.Current.Layers.empty()) return;
    const library::LayerMaterial& top = LayerMaterialOf(Layer(1).LayerType);
    const std::string prompt =
        "Enter a new value for the SCI of the existing pavement before overlaying. The "
        "allowable range for " +
        std::string(top.LayerTypeName) + " is " + core::FormatMask(top.MinSCI, "##,##0") + " to " +
        core::FormatMask(top.MaxSCI, "#,##0") + "." + std::string(core::NL) +
        std::string(core::NL) + kKeepOld;
    float value = state_.Current.SCI;
    if (core::PromptNumber(state_, ui_, prompt, "Changing Existing SCI", value)) {
        state_.Current.SCI = std::fabs(value);
        if (state_.Current.SCI < top.MinSCI || state_.Current.SCI > top.MaxSCI) {
            state_.Current.SCI = top.DefaultSCI;
            core::ShowMessage(
                state_, ui_,
                JoinLines(
                    {"SCI for the existing pavement must",
                     "be in the range " + core::FormatMask(top.MinSCI, "0") + " to " +
                         core::FormatMask(top.MaxSCI, "#,##0") + ".",
                     "", "SCI has been set to " + core::FormatMask(state_.Current.SCI, "0") + "."}),
                core::Buttons::Ok, "Changing Existing SCI");
        }
    }
    if (state_.Current.SCI != 100) state_.Current.CDFU = kCrackedCdfu;
    Changed();
}

void StructureController::EditCdfu() {
    if (Locked() || Samples() || state_.Current.Layers.empty()) return;
    if (state_.Current.SCI != 100) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"SCI for the existing pavement is less",
                       "than 100 and the existing pavement", "is classified as cracked.", "",
                       "%CDFU is fixed at 100 for SCI < 100."}),
            core::Buttons::Ok, "Changing Percent CDFU");
        state_.Current.CDFU = kCrackedCdfu;
        Changed();
        return;
    }
    const library::LayerMaterial& top = LayerMaterialOf(Layer(1).LayerType);
    const std::string prompt =
        "Enter a value for the percent CDFU of the existing pavement "
        "in the range " +
        core::FormatMask(top.MinCDFU, "0") + " to " + core::FormatMask(top.MaxCDFU, "#,##0") +
        " %. Please see the User's Manual for more information.";
    float value = state_.Current.CDFU;
    if (!core::PromptNumber(state_, ui_, prompt, "Setting Percent CDFU", value)) return;
    state_.Current.CDFU = std::fabs(value);
    if (state_.Current.CDFU < top.MinCDFU || state_.Current.CDFU > top.MaxCDFU) {
        core::ShowMessage(state_, ui_,
                          JoinLines({"Percent CDFU for the existing pavement",
                                     "must be in the range " + core::FormatMask(top.MinCDFU, "0") +
                                         " to " + core::FormatMask(top.MaxCDFU, "#,##0") + " %.",
                                     "",
                                     "Percent CDFU has been set to " +
                                         core::FormatMask(top.DefaultCDFU, "0") + " %."}),
                          core::Buttons::Ok, "Changing Percent CDFU");
        // The message names the type's default; the value stored is that of a cracked
        // pavement, as the entry has always done.
        state_.Current.CDFU = kCrackedCdfu;
    }
    Changed();
}

void StructureController::SetLayerType(int layer, int code) {
    if (Locked() || Samples()) return;
    if (layer < 1 || layer > state_.Current.LayerCount() || !library::IsValidLayerType(code))
        return;
    core::SectionLayer& l = Layer(layer);
    if (l.LayerType == code) return;
    l.LayerType = core::Int16(code);
    const library::LayerMaterial& type = LayerMaterialOf(code);
    if (l.LayerThickness < type.MinThickness) l.LayerThickness = type.MinThickness;
    if (layer == 1) {
        state_.Current.SCI = type.DefaultSCI;
        state_.Current.CDFU = type.DefaultCDFU;
    } else if (layer == 2 && type.LayerTypeName == "PCC") {
        const library::LayerMaterial& top = LayerMaterialOf(Layer(1).LayerType);
        state_.Current.SCI = top.DefaultSCI;
        state_.Current.CDFU = top.DefaultCDFU;
    }
    l.LayerModulus = type.DefaultModulus;
    l.LayerFlexStrength = library::IsPccLayer(code) ? library::kDefaultFlexStrength : 0.0f;
    Changed();
}

void StructureController::EditThickness(int layer) {
    if (Locked() || Samples()) return;
    if (layer < 1 || layer > state_.Current.LayerCount()) return;
    if (layer == state_.Current.LayerCount()) {
        EditSubgrade();
        return;
    }
    core::SectionLayer& l = Layer(layer);
    const core::UnitQuantity& t = state_.Units.thickness;
    const double minimum = LayerMaterialOf(l.LayerType).MinThickness * t.factor;
    const std::string nl2 = std::string(core::NL) + std::string(core::NL);
    const std::string prompt = "Enter the new thickness in " + t.label +
                               " and click OK or press the Enter key on the keyboard." + nl2 +
                               "Click Cancel at any time to retain the old value of thickness." +
                               nl2 + "Minimum allowable thickness is " +
                               core::FormatMask(minimum, t.mask) + " " + t.label + ".";
    float value = core::Single(l.LayerThickness * t.factor);
    if (!core::PromptNumber(state_, ui_, prompt, Name(l) + " Layer Thickness", value)) return;
    double entry = value;
    if (entry < minimum) entry = minimum;
    l.LayerThickness = core::Single(entry / t.factor);
    Changed();
}

void StructureController::EditSubgrade() {
    if (Locked() || Samples() || state_.Current.Layers.empty()) return;
    const int bottom = state_.Current.LayerCount();
    core::SectionLayer& l = Layer(bottom);
    const library::LayerMaterial& type = LayerMaterialOf(l.LayerType);
    const std::string nl2 = std::string(core::NL) + std::string(core::NL);
    if (IsFlexibleStructure(state_.Current)) {
        const double lo = SubgradeCbr(type.MinModulus), hi = SubgradeCbr(type.MaxModulus);
        const std::string prompt =
            "Subgrade CBR can be set in the range " + core::FormatMask(lo, "0.0") + " to " +
            core::FormatMask(hi, "0.0") + " percent." + nl2 +
            "Enter the new value in percent and click OK or press Enter." + nl2 + kKeepOld;
        float value = core::Single(SubgradeCbr(l.LayerModulus));
        if (!core::PromptNumber(state_, ui_, prompt, "Subgrade CBR", value)) return;
        const double cbr = std::clamp(static_cast<double>(value), lo, hi);
        l.LayerModulus = core::Single(ModulusOfCbr(core::Single(cbr)));
    } else {
        const core::UnitQuantity& k = state_.Units.subgradeReaction;
        const double lo = SubgradeK(type.MinModulus) * k.factor;
        const double hi = SubgradeK(type.MaxModulus) * k.factor;
        const std::string prompt =
            "Subgrade k value can be set in the range " + core::FormatMask(lo, "0.0") + " to " +
            core::FormatMask(hi, k.mask) + " " + k.label + "." + nl2 + "Enter the new value in " +
            k.label + " and click OK or press Enter." + nl2 + kKeepOld;
        float value = core::Single(SubgradeK(l.LayerModulus) * k.factor);
        if (!core::PromptNumber(state_, ui_, prompt, "Subgrade k Value", value)) return;
        const double entered = std::clamp(static_cast<double>(value), lo, hi);
        l.LayerModulus = core::Single(ModulusOfK(core::Single(entered / k.factor)));
    }
    Changed();
}

void StructureController::EditModulus(int layer) {
    if (Locked() || Samples()) return;
    if (layer < 1 || layer > state_.Current.LayerCount()) return;
    core::SectionLayer& l = Layer(layer);
    const library::LayerMaterial& type = LayerMaterialOf(l.LayerType);
    const core::UnitQuantity& e = state_.Units.modulus;
    auto shown = [&](double psi) {
        return core::FormatMask(psi * e.factor, e.mask) + " " + e.label;
    };
    const std::string name = Name(l);
    const std::string nl2 = std::string(core::NL) + std::string(core::NL);
    const std::string title = name + " Layer Modulus";
    if (name == "AC Overlay" || name == "Asphalt") {
        core::ShowMessage(state_, ui_,
                          JoinLines({"The modulus of " + name + " layers is fixed at ",
                                     shown(type.DefaultModulus) + " and cannot be changed."}),
                          core::Buttons::Ok, title);
        return;
    }
    if (name == "Ag Uncrushed" || name == "Ag Crushed") {
        core::ShowMessage(state_, ui_,
                          JoinLines({"The modulus value of an aggregate layer is",
                                     "set automatically and cannot be adjusted.", "",
                                     "Also, aggregate layers thicker than 8 inches,",
                                     "for uncrushed, or 10 inches, for crushed, are",
                                     "automatically subdivided into thinner layers", "",
                                     "The displayed modulus value is the average",
                                     "of the sublayer modulus values."}),
                          core::Buttons::Ok, title);
        return;
    }
    if (l.LayerFlexStrength > 0) {
        const std::string prompt =
            "The modulus of PCC layers is fixed at " + shown(type.DefaultModulus) + "." + nl2 +
            "PCC flexural strength (R) can be set in the range " +
            core::FormatMask(library::kMinFlexStrength * e.factor, e.mask) + " to " +
            shown(library::kMaxFlexStrength) + "." + nl2 + "Enter the new R value in " + e.label +
            " and click OK or press Enter.";
        float value = core::Single(l.LayerFlexStrength * e.factor);
        if (!core::PromptNumber(state_, ui_, prompt, name + " Flexural Strength", value)) return;
        const double psi = std::fabs(static_cast<double>(value)) / e.factor;
        if (psi >= library::kMinFlexStrength && psi <= library::kMaxFlexStrength) {
            l.LayerFlexStrength = core::Single(psi);
        } else {
            core::ShowMessage(
                state_, ui_,
                JoinLines({"The value of flexural strength entered is outside the allowed range.",
                           "",
                           "The default value of " + shown(library::kDefaultFlexStrength) +
                               " will be selected."}),
                core::Buttons::Ok, "Incorrect Data Entry");
            l.LayerFlexStrength = library::kDefaultFlexStrength;
        }
        Changed();
        return;
    }
    if (type.MinModulus == type.MaxModulus) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"The modulus of " + std::string(type.LayerTypeTitle) + " layers",
                       "is fixed at " + shown(type.DefaultModulus) + " and cannot be changed."}),
            core::Buttons::Ok, title);
        return;
    }
    const std::string prompt = name + " layer modulus values can be set in the range " +
                               core::FormatMask(type.MinModulus * e.factor, e.mask) + " to " +
                               shown(type.MaxModulus) + "." + nl2 + "Enter the new modulus in " +
                               e.label + " and click OK or press Enter." + nl2 +
                               "Click Cancel at any time to retain the old modulus value.";
    float value = core::Single(l.LayerModulus * e.factor);
    if (!core::PromptNumber(state_, ui_, prompt, title, value)) return;
    const double psi = std::fabs(static_cast<double>(value)) / e.factor;
    if (psi >= type.MinModulus && psi <= type.MaxModulus) {
        l.LayerModulus = core::Single(psi);
    } else {
        core::ShowMessage(state_, ui_,
                          JoinLines({"The modulus value entered is outside the allowed range.", "",
                                     "The default value of " + shown(type.DefaultModulus) +
                                         " will be selected."}),
                          core::Buttons::Ok, "Incorrect Data Entry");
        l.LayerModulus = type.DefaultModulus;
    }
    Changed();
}

const std::vector<std::string>& StructureController::PickInstructions() {
    static const std::vector<std::string> lines = {
        "  Select the layer to be", "  added or deleted by", "  clicking the mouse on",
        "  the layer. The bottom",  "  layer cannot be",     "  selected."};
    return lines;
}

void StructureController::BeginAddDelete() {
    if (Locked() || !modifyMode_ || selectingLayer_) return;
    selectingLayer_ = true;
    pickedLayer_ = 0;
    pickLayerCount_ = state_.Current.LayerCount();
    ++version_;
}

bool StructureController::PickLayer(int layer) {
    if (!selectingLayer_) return false;
    if (layer <= 0 || layer >= state_.Current.LayerCount()) return false;  // not the subgrade
    pickedLayer_ = layer;
    selectedLayer_ = layer;
    ++version_;
    return true;
}

bool StructureController::ApplyAddDelete(AddDelete choice) {
    if (!selectingLayer_ || pickedLayer_ < 1) return true;
    core::CurrentSectionRecord& s = state_.Current;
    const auto at = static_cast<std::ptrdiff_t>(pickedLayer_ - 1);
    if (choice == AddDelete::Add) {
        if (s.LayerCount() >= core::kMaxLayers) {
            core::ShowMessage(state_, ui_,
                              JoinLines({"The maximum number of layers allowed in a structure is " +
                                             core::FormatMask(core::kMaxLayers, "0") + ".",
                                         "This structure already has " +
                                             std::to_string(core::kMaxLayers) + " layers.",
                                         "No more can be added."}),
                              core::Buttons::Ok, "Too Many Layers");
            return false;
        }
        s.SectionTimeStamp = core::kNotAnalysedSerial;
        s.AsphaltCDF = 0;
        s.Layers.insert(s.Layers.begin() + at, s.Layers[static_cast<std::size_t>(at)]);
    } else {
        if (s.LayerCount() < 3) {
            core::ShowMessage(state_, ui_, "The stucture cannot have less than two layers",
                              core::Buttons::Ok, "Not Enough Layers");
            return false;
        }
        s.SectionTimeStamp = core::kNotAnalysedSerial;
        s.AsphaltCDF = 0;
        s.Layers.erase(s.Layers.begin() + at);
    }
    if (pickedLayer_ == 1) {
        const library::LayerMaterial& second = LayerMaterialOf(s.Layers.at(1).LayerType);
        s.SCI = second.DefaultSCI;
        s.CDFU = second.DefaultCDFU;
    }
    Changed();
    return true;
}

void StructureController::EndAddDelete() {
    if (!selectingLayer_) return;
    selectingLayer_ = false;
    pickedLayer_ = 0;
    selectedLayer_ = 0;
    Derive();
    if (state_.Current.LayerCount() != pickLayerCount_) ResetDesignLayer();
    ++version_;
}

void StructureController::CancelPick() { EndAddDelete(); }

void StructureController::SetDesignLayer(int layer) {
    if (Locked()) return;
    if (layer < 1 || layer > state_.Current.LayerCount()) return;
    state_.Run.DesignLayer = core::Int16(layer);
    ++version_;
}

}  // namespace tavro::control
