// Numerical routines of the layered elastic solver. The constants are the classical rational
// and asymptotic fits; results are compared digit by digit with earlier runs, so they are
// kept exactly as they are and not replaced by library functions.
#include "analysis/numerical.h"

#include "analysis/lane_width.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Lane vectors never cross a function boundary outside this file, so their calling
// convention on targets without wide registers does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tavro::analysis {

namespace {

constexpr int kMaxNewtonIterations = 100;
constexpr double kNewtonTolerance = 3e-14;
// Weights below this no longer contribute to any integral; the rule is cut there.
constexpr double kWeightUnderflow = 1e-300;
constexpr double kTinyPivot = 1e-20;
constexpr int kMaxDenseSize = 500;

std::size_t At(int row, int col, int n) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(n) +
           static_cast<std::size_t>(col);
}

}  // namespace

LaguerreRule LaguerreNodes(int n, double alpha) {
    LaguerreRule rule;
    if (n < 1) return rule;
    rule.count = n;
    rule.node.assign(static_cast<std::size_t>(n) + 1, 0.0);
    rule.weight.assign(static_cast<std::size_t>(n) + 1, 0.0);
    const double dn = n;
    const double gammaRatio = std::exp(LogGamma(alpha + dn) - LogGamma(dn));
    double z = 0;
    for (int i = 1; i <= n; ++i) {
        if (i == 1) {
            z = (1 + alpha) * (3 + 0.92 * alpha) / (1 + 2.4 * dn + 1.8 * alpha);
        } else if (i == 2) {
            z += (15 + 6.25 * alpha) / (1 + 0.9 * alpha + 2.5 * dn);
        } else {
            const double ai = i - 2;
            z += ((1 + 2.55 * ai) / (1.9 * ai) + 1.26 * ai * alpha / (1 + 3.5 * ai)) *
                 (z - rule.node[static_cast<std::size_t>(i - 2)]) / (1 + 0.3 * alpha);
        }
        double p2 = 0;
        double pp = 0;
        for (int its = 0; its < kMaxNewtonIterations; ++its) {
            double p1 = 1;
            p2 = 0;
            for (int j = 1; j <= n; ++j) {
                const double p3 = p2;
                p2 = p1;
                p1 = ((2 * j - 1 + alpha - z) * p2 - (j - 1 + alpha) * p3) / j;
            }
            pp = (dn * p1 - (dn + alpha) * p2) / z;
            const double z1 = z;
            z = z1 - p1 / pp;
            if (std::abs(z - z1) <= kNewtonTolerance) break;
        }
        const auto index = static_cast<std::size_t>(i);
        rule.node[index] = z;
        rule.weight[index] = -gammaRatio / (pp * dn * p2);
        if (rule.weight[index] < kWeightUnderflow && i > 1) {
            rule.count = i;
            break;
        }
    }
    return rule;
}

const LaguerreRule& StandardLaguerreRule() {
    static const LaguerreRule rule = LaguerreNodes(200, 0.0);
    return rule;
}

double LogGamma(double x) {
    static constexpr double kCoefficients[6] = {76.18009172947146,     -86.50532032941677,
                                                24.01409824083091,     -1.231739572450155,
                                                0.1208650973866179e-2, -0.5395239384953e-5};
    const double tmp = (x + 5.5) - (x + 0.5) * std::log(x + 5.5);
    double ser = 1.000000000190015;
    for (int j = 0; j < 6; ++j) ser += kCoefficients[j] / (x + (j + 1));
    return -tmp + std::log(2.5066282746310005 * ser / x);
}

double BesselJ0(double x) {
    const double ax = std::abs(x);
    if (ax < 8.0) {
        const double y = x * x;
        const double num =
            57568490574.0 +
            y * (-13362590354.0 +
                 y * (651619640.7 + y * (-11214424.18 + y * (77392.33017 + y * (-184.9052456)))));
        const double den =
            57568490411.0 +
            y * (1029532985.0 + y * (9494680.718 + y * (59272.64853 + y * (267.8532712 + y))));
        return num / den;
    }
    const double z = 8.0 / ax;
    const double y = z * z;
    const double xx = ax - 0.785398164;
    const double p =
        1.0 + y * (-0.1098628627e-2 +
                   y * (0.2734510407e-4 + y * (-0.2073370639e-5 + y * 0.2093887211e-6)));
    const double q =
        -0.1562499995e-1 +
        y * (0.1430488765e-3 + y * (-0.6911147651e-5 + y * (0.7621095161e-6 - y * 0.934945152e-7)));
    return std::sqrt(0.636619772 / ax) * (std::cos(xx) * p - z * std::sin(xx) * q);
}

namespace {

// J1(x)/x for |x| < 8: the rational fit without its leading factor x.
double J1OverXSmall(double y) {
    const double num =
        72362614232.0 +
        y * (-7895059235.0 +
             y * (242396853.1 + y * (-2972611.439 + y * (15704.4826 + y * (-30.16036606)))));
    const double den =
        144725228442.0 +
        y * (2300535178.0 + y * (18583304.74 + y * (99447.43394 + y * (376.9991397 + y))));
    return num / den;
}

}  // namespace

double BesselJ1(double x) {
    const double ax = std::abs(x);
    if (ax < 8.0) return x * J1OverXSmall(x * x);
    const double z = 8.0 / ax;
    const double y = z * z;
    const double xx = ax - 2.356194491;
    const double p =
        1.0 +
        y * (0.183105e-2 + y * (-0.3516396496e-4 + y * (0.2457520174e-5 + y * (-0.240337019e-6))));
    const double q =
        0.04687499995 +
        y * (-0.2002690873e-3 + y * (0.8449199096e-5 + y * (-0.88228987e-6 + y * 0.105787412e-6)));
    const double value = std::sqrt(0.636619772 / ax) * (std::cos(xx) * p - z * std::sin(xx) * q);
    return x < 0.0 ? -value : value;
}

double BesselJ1OverX(double x) {
    if (std::abs(x) < 8.0) return J1OverXSmall(x * x);
    return BesselJ1(x) / x;
}

double BesselJ1Scaled(double x, double y) { return BesselJ1(x * y); }

namespace {

#define TAVRO_LANES_FILE "analysis/bessel_lanes.inc"
#include "analysis/each_lane_width.inc"
#undef TAVRO_LANES_FILE

template <bool kWithJ1>
void BesselBlock(const double* x, int n, double* j0, double* j1OverX, double* j1) {
#ifdef TAVRO_WIDER_LANES
    switch (ActiveLaneWidth()) {
        case LaneWidth::Octets:
            wide::Block<kWithJ1>(x, n, j0, j1OverX, j1);
            return;
        case LaneWidth::Quads:
            quads::Block<kWithJ1>(x, n, j0, j1OverX, j1);
            return;
        case LaneWidth::Pairs:
            break;
    }
#endif
    pairs::Block<kWithJ1>(x, n, j0, j1OverX, j1);
}

}  // namespace

void BesselJ0Block(const double* x, int n, double* j0) {
    BesselBlock<false>(x, n, j0, nullptr, nullptr);
}

void BesselJ0J1Block(const double* x, int n, double* j0, double* j1OverX, double* j1) {
    BesselBlock<true>(x, n, j0, j1OverX, j1);
}

// Crout factorisation with implicit pivoting: each row is scaled by its largest element for
// the pivot choice only. A vanishing pivot is replaced by 1e-20 of its own sign so that a
// singular matrix still yields (huge) numbers instead of a division by zero; negative pivots
// of ordinary size are left alone.
void LuDecompose(std::vector<double>& a, int n, std::vector<int>& index, double& d) {
    if (n < 1 || n > kMaxDenseSize) throw std::invalid_argument("LuDecompose: size out of range");
    std::vector<double> scale(static_cast<std::size_t>(n));
    index.assign(static_cast<std::size_t>(n), 0);
    d = 1.0;
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j) big = std::max(big, std::abs(a[At(i, j, n)]));
        scale[static_cast<std::size_t>(i)] = big == 0.0 ? 1.0 : 1.0 / big;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a[At(i, j, n)];
            for (int k = 0; k < i; ++k) sum -= a[At(i, k, n)] * a[At(k, j, n)];
            a[At(i, j, n)] = sum;
        }
        double big = 0.0;
        int imax = j;
        for (int i = j; i < n; ++i) {
            double sum = a[At(i, j, n)];
            for (int k = 0; k < j; ++k) sum -= a[At(i, k, n)] * a[At(k, j, n)];
            a[At(i, j, n)] = sum;
            const double merit = scale[static_cast<std::size_t>(i)] * std::abs(sum);
            if (merit >= big) {
                big = merit;
                imax = i;
            }
        }
        if (j != imax) {
            for (int k = 0; k < n; ++k) std::swap(a[At(imax, k, n)], a[At(j, k, n)]);
            d = -d;
            scale[static_cast<std::size_t>(imax)] = scale[static_cast<std::size_t>(j)];
        }
        index[static_cast<std::size_t>(j)] = imax;
        double& pivot = a[At(j, j, n)];
        if (std::abs(pivot) < kTinyPivot) pivot = pivot < 0.0 ? -kTinyPivot : kTinyPivot;
        const double inverse = 1.0 / pivot;
        for (int i = j + 1; i < n; ++i) a[At(i, j, n)] *= inverse;
    }
}

void LuBackSubstitute(const std::vector<double>& a, int n, const std::vector<int>& index,
                      std::vector<double>& b) {
    int firstNonZero = -1;
    for (int i = 0; i < n; ++i) {
        const auto ip = static_cast<std::size_t>(index[static_cast<std::size_t>(i)]);
        double sum = b[ip];
        b[ip] = b[static_cast<std::size_t>(i)];
        if (firstNonZero >= 0) {
            for (int j = firstNonZero; j < i; ++j)
                sum -= a[At(i, j, n)] * b[static_cast<std::size_t>(j)];
        } else if (sum != 0.0) {
            firstNonZero = i;
        }
        b[static_cast<std::size_t>(i)] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < n; ++j) sum -= a[At(i, j, n)] * b[static_cast<std::size_t>(j)];
        b[static_cast<std::size_t>(i)] = sum / a[At(i, i, n)];
    }
}

std::vector<double> SolveLinearSystem(const std::vector<double>& a, int n,
                                      const std::vector<double>& b) {
    std::vector<double> lu = a;
    std::vector<double> x = b;
    std::vector<int> index;
    double d = 0;
    LuDecompose(lu, n, index, d);
    LuBackSubstitute(lu, n, index, x);
    return x;
}

}  // namespace tavro::analysis
