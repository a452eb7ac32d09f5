#include "analysis/lea_types.h"

namespace tavro::analysis {

std::string_view ResponseKindName(ResponseKind kind) {
    switch (kind) {
        case ResponseKind::VerticalStrain:
            return "VerticalStrain";
        case ResponseKind::HorizontalStress:
            return "HorizontalStress";
        case ResponseKind::VerticalDeflection:
            return "VerticalDeflection";
        case ResponseKind::HorizontalStrain:
            return "HorizontalStrain";
    }
    return {};
}

}  // namespace tavro::analysis
