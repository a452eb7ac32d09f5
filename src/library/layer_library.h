// The layer material library: names, material constants and editing ranges of the
// eighteen layer type codes. Type tests everywhere compare the short name, so the
// names here are part of the program's behaviour.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavro::library {

inline constexpr int kLayerTypeCount = 18;  // codes 0..17

struct LayerMaterial {
    std::string_view LayerTypeName;    // short name, the key of every type test
    std::string_view LayerTypeTitle;   // full name
    std::string_view LayerTypeLabel;   // caption in the layer type dialog
    std::string_view LayerTypeAbbrev;  // description in the section report
    float DefaultPoisson;
    float DefaultModulus;  // psi
    float InterfaceValue;  // value written to the analysis input
    float MinThickness;    // in
    float DefaultSCI;
    float DefaultCDFU;
    float MinModulus;  // psi, range of modulus entry
    float MaxModulus;
    float MinSCI;
    float MaxSCI;
    float MinCDFU;
    float MaxCDFU;
};

// Material constants set with the library.
inline constexpr float kSubgradePoissonFlexible = 0.35f;
inline constexpr float kSubgradePoissonRigid = 0.4f;
inline constexpr float kDefaultFlexStrength = 700.0f;  // psi
inline constexpr float kMinFlexStrength = 100.0f;      // psi
inline constexpr float kMaxFlexStrength = 1000.0f;     // psi

// True for codes 0..17.
bool IsValidLayerType(int code);

// The entry of a valid code (0..17). An invalid code is a programming error and aborts;
// values read from files must be checked with IsValidLayerType first.
const LayerMaterial& LayerMaterialOf(int code);

// Short name of a valid code.
std::string_view LayerTypeName(int code);

// True when the code is one of the concrete layer types ("PCC", "PCC Overlay Unbond",
// "PCC Overlay Part Bond", "PCC Overlay on Flex."); false for invalid codes.
bool IsPccLayer(int code);

// The first code 0..17 whose full title equals `title` exactly, or nullopt.
std::optional<int> LayerTypeByTitle(std::string_view title);

}  // namespace tavro::library
