// The fixed table of layer materials. Held as a constant array: the program never edits
// it, and every window, file reader and design procedure looks types up here by code.
#include "library/layer_library.h"

#include <array>
#include <cstdlib>

namespace tavro::library {

namespace {

// Columns: short name, title, dialog label, report abbreviation, Poisson, default modulus,
// interface value, minimum thickness, default SCI, default CDFU, modulus entry range,
// SCI range, CDFU range. The stabilized bases 14..17 accept only their default modulus.
constexpr std::array<LayerMaterial, kLayerTypeCount> kLayerTable{{
    {"Undefined", "Undefined", "Undefined", "Undefined",  //
     0.35f, 100000.0f, 0.0f, 1.0f, 50.0f, 100.0f, 1000.0f, 4000000.0f, 50.0f, 100.0f, 10.0f,
     100.0f},
    {"Asphalt", "P-401 Asphalt Surface", "Surface", "P-401 AC Surface",  //
     0.35f, 200000.0f, 0.0f, 2.0f, 0.0f, 0.0f, 50000.0f, 2000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Base", "Base", "", "",  //
     0.35f, 75000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 1000.0f, 4000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Subbase", "Subbase", "", "",  //
     0.35f, 40000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 1000.0f, 4000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Subgrade", "Subgrade", "Subgrade", "Subgrade",  //
     0.35f, 10000.0f, 0.0f, 5.0f, 0.0f, 0.0f, 1000.0f, 30000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"PCC", "P-501 PCC Surface", "Surface", "PCC Surface",  //
     0.15f, 4000000.0f, 100000.0f, 4.0f, 0.0f, 0.0f, 1000.0f, 8000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Ag Crushed", "P-209 Crushed Aggregate Base Course", "P-209 Crushed", "P-209 Cr Ag",  //
     0.35f, 75000.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1000.0f, 8000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Rigid)", "Variable Stabilized Base (rigid)", "Variable", "Variable St (rigid)",  //
     0.20f, 250000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 250000.0f, 700000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"Ag Uncrushed", "P-154 Subbase Course (uncrushed aggregate)", "P-154 Uncrushed",
     "P-154 UnCr Ag",  //
     0.35f, 40000.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1000.0f, 8000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Flexible)", "Variable Stabilized Base (flexible)", "Variable", "Variable St (flex)",  //
     0.35f, 150000.0f, 0.0f, 2.0f, 0.0f, 0.0f, 150000.0f, 400000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"AC Overlay", "P-401 Asphalt Overlay", "Overlay", "P-401 AC Overlay",  //
     0.35f, 200000.0f, 0.0f, 1.5f, 50.0f, 100.0f, 50000.0f, 200000.0f, 50.0f, 100.0f, 10.0f,
     100.0f},
    {"PCC Overlay Unbond", "P-501 PCC overlay fully unbonded", "Overlay fully unbonded",
     "PCC Overlay Unbond",  //
     0.15f, 4000000.0f, 100000.0f, 3.0f, 40.0f, 100.0f, 1000.0f, 8000000.0f, 40.0f, 100.0f, 10.0f,
     100.0f},
    {"PCC Overlay Part Bond", "P-501 PCC overlay partially bonded", "Overlay partially bonded",
     "PCC Overlay Part Bond",  //
     0.15f, 4000000.0f, 700.0f, 3.0f, 77.0f, 100.0f, 1000.0f, 8000000.0f, 77.0f, 100.0f, 10.0f,
     100.0f},
    {"PCC Overlay on Flex.", "P-501 PCC overlay on flexible", "Overlay on flexible",
     "PCC Overlay on Flex.",  //
     0.15f, 4000000.0f, 100000.0f, 2.0f, 0.0f, 0.0f, 1000.0f, 8000000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Flexible)", "P-401 Stabilized Base (flexible)", "P-401 Asphalt", "P-401 St (flex)",  //
     0.35f, 400000.0f, 0.0f, 2.0f, 0.0f, 0.0f, 400000.0f, 400000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Rigid)", "P-301 Soil Cement Base Course", "P-301 Soil Cement Base", "P-301 SCB",  //
     0.20f, 250000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 250000.0f, 250000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Rigid)", "P-304 Cement Treated Base Course", "P-304 Cement Treated Base",
     "P-304 CTB",  //
     0.20f, 500000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 500000.0f, 500000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {"St (Rigid)", "P-306 Econocrete Subbase Course", "P-306 Econocrete Subbase",
     "P-306 Econocrete",  //
     0.20f, 700000.0f, 0.0f, 4.0f, 0.0f, 0.0f, 700000.0f, 700000.0f, 0.0f, 0.0f, 0.0f, 0.0f},
}};

// The concrete family, by short name: the one place that decides what carries a
// flexural strength.
constexpr std::array<std::string_view, 4> kPccNames{
    "PCC", "PCC Overlay Unbond", "PCC Overlay Part Bond", "PCC Overlay on Flex."};

}  // namespace

bool IsValidLayerType(int code) { return code >= 0 && code < kLayerTypeCount; }

const LayerMaterial& LayerMaterialOf(int code) {
    if (!IsValidLayerType(code)) std::abort();
    return kLayerTable[static_cast<std::size_t>(code)];
}

std::string_view LayerTypeName(int code) { return LayerMaterialOf(code).LayerTypeName; }

bool IsPccLayer(int code) {
    if (!IsValidLayerType(code)) return false;
    const std::string_view name = LayerTypeName(code);
    for (std::string_view pcc : kPccNames) {
        if (name == pcc) return true;
    }
    return false;
}

std::optional<int> LayerTypeByTitle(std::string_view title) {
    for (int code = 0; code < kLayerTypeCount; ++code) {
        if (kLayerTable[static_cast<std::size_t>(code)].LayerTypeTitle == title) return code;
    }
    return std::nullopt;
}

}  // namespace tavro::library
