#include "control/subgrade.h"

#include <cmath>

namespace tavro::control {

namespace {
constexpr double kCbrModulus = 1000;  // psi per percent CBR
constexpr double kKFactor = 26;       // E = 26 k^1.284
constexpr double kKExponent = 1.284;
}  // namespace

double SubgradeCbr(double modulusPsi) { return modulusPsi / kCbrModulus; }
double SubgradeK(double modulusPsi) {
    return modulusPsi > 0 ? std::pow(modulusPsi / kKFactor, 1 / kKExponent) : 0;
}
double ModulusOfCbr(double cbr) { return cbr * kCbrModulus; }
double ModulusOfK(double kPci) { return kKFactor * std::pow(kPci, kKExponent); }

}  // namespace tavro::control
