// The input of one layered elastic analysis: the analysis layer list handed over by the
// aggregate modulus step, the two analysis records, and the input files "VORNA.STR" and
// "VORNA.LOA" written before every analysis.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::analysis {

// One analysis layer: a section layer, or one sublayer of a split aggregate layer.
struct AnalysisLayer {
    float thickness = 0;    // in; the last layer (subgrade) is not used
    float modulus = 0;      // psi
    std::int16_t type = 0;  // layer type code 0..17
};

// Analysis layers from the surface down (the last one is the subgrade) and the evaluation
// depths (in; a negative depth asks for the bottom of the layer above that interface).
// Built by the aggregate modulus step and read by WriteVornaInput.
struct AnalysisLayerList {
    std::vector<AnalysisLayer> layers;
    std::vector<double> depths;
};

// The analysed structure. Arrays are 1-based like the layer numbers: entry 0 is unused,
// entry i belongs to analysis layer i (1..Layers) or depth i (1..Depths).
struct LeaStructure {
    double FlexuralStrength = 0;    // psi; carried, not used by the solver
    int Layers = 0;                 // N, including the subgrade, at most 16
    std::vector<double> Thickness;  // in; the subgrade's entry stays 0
    std::vector<double> Modulus;    // psi
    std::vector<double> Poisson;
    std::vector<double> Interface;  // 0 = full bond, >= 100000 = weakest bond
    std::vector<double> LayerCode;
    int Depths = 0;             // at most 10
    std::vector<double> Depth;  // in
};

// The analysed gear of one design aircraft. Tire and point arrays are 1-based (entry 0
// unused). Name, gross load and gear share are carried for the files.
struct AnalysisGear {
    std::string Name;
    double GrossLoad = 0;  // lbs
    double GearShare = 0;  // fraction of the gross load on the analysed gear
    double GearLoad = 0;   // GrossLoad x GearShare, lbs
    int TireCount = 0;
    std::vector<double> TirePressure, TireX, TireY;  // psi, in, in
    int PointCount = 0;
    std::vector<double> PointX, PointY;  // in

    bool operator==(const AnalysisGear&) const = default;
};

struct AnalysisInput {
    LeaStructure structure;
    std::vector<AnalysisGear> gears;  // one per design aircraft, in list order
};

// Fills the records from the analysis layer list and the current section's design
// aircraft (library geometry by AircraftLibIndex; an aircraft without a valid library
// entry gets no tires and no points, which the analysis refuses). Pure: no files, no
// messages. FlexuralStrength is the flexural strength of the last section layer with a
// positive one (0 when there is none). Layer type codes outside 0..17 get Poisson's ratio
// and interface value 0 (the analysis refuses them). At most kMaxDepths depths are taken.
// Single-precision inputs enter the records as the decimal they stand for (0.475f as 0.475).
AnalysisInput BuildAnalysisInput(const core::ProgramState& state, const AnalysisLayerList& list);

// Text of "VORNA.STR" and "VORNA.LOA" (CR LF lines).
std::string FormatVornaStructure(const LeaStructure& structure, std::string_view sectionName);
std::string FormatVornaLoads(const std::vector<AnalysisGear>& gears);

enum class VornaStatus { Written, TooManyLayers, FileError };

// Builds the records into `input` and overwrites both files in the program directory in
// place (they are scratch). The loads text is formatted again only when the gear list
// differs from the one of the previous call. More than 16 analysis layers: the "Too Many Layers"
// message, nothing written, `input` untouched, DesignRunning cleared. A write failure goes through
// the file-error dialog (Retry writes again) and, when not retried, clears DesignRunning.
VornaStatus WriteVornaInput(core::ProgramState& state, core::UserPort& ui,
                            const AnalysisLayerList& list, AnalysisInput& input);

}  // namespace tavro::analysis
