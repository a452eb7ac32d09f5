// Integration coefficients of every layer for one transform parameter m.
//
// All surface and interface conditions are solved together as one banded system in which
// each layer carries only exponentials that decay inside it (so no factor exceeds 1), and the
// partial-bond slip law is written in stiffness form. Nothing is divided by the bond value k:
// a frictionless (k = 0.01) or doubly unbonded (k = 0.1) interface stays as well conditioned
// as a bonded one, and the stiff nearly-bonded overlay (k close to 1) has no pole.
#include "analysis/layer_coefficients.h"

#include "analysis/lane_width.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

#include "analysis/lea_types.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Lane vectors never cross a function boundary outside this file, so their calling
// convention on targets without wide registers does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tavro::analysis {

namespace {

// exp(-x) < 1e-200 exactly when x exceeds 200 ln 10.
constexpr double kUnderflowExponent = 460.51701859880914;
constexpr int kLowerBand = 5;
constexpr int kUpperBand = 10;  // 5 for the assembled rows, widened by row interchanges
constexpr int kBandWidth = kLowerBand + kUpperBand + 1;
constexpr int kMaxUnknowns = 4 * kMaxAnalysisLayers - 2;

// The band of the system held row by row: column c of row r sits at r*kBandWidth + c-r+5.
struct BandSystem {
    std::array<double, static_cast<std::size_t>(kMaxUnknowns* kBandWidth)> m;
    std::array<double, kMaxUnknowns> rhs;
    // Last column of each row that may be non-zero: elimination skips the known zeros.
    std::array<int, kMaxUnknowns> rowEnd;
    std::array<double, kMaxUnknowns> inversePivot;
    int n = 0;

    double& operator()(int r, int c) {
        return m[static_cast<std::size_t>(r * kBandWidth + c - r + kLowerBand)];
    }
    void SetRowEnd(int r, int end) { rowEnd[static_cast<std::size_t>(r)] = end; }
};

template <class T>
[[gnu::always_inline]] inline T Splat(double x) {
    if constexpr (std::is_same_v<T, double>) {
        return x;
    } else {
        return T::All(x);
    }
}

// The transformed stress, shear and scaled displacements (W = m w E/(1+v), U = m u E/(1+v))
// of one layer at its top or bottom, as rows on the layer's (a, b, c, d).
template <class T>
struct StateRows {
    T sz[4], tau[4], w[4], u[4];
};

// Top of a layer: s = 0, the upward-decaying terms carry e = exp(-m h), the others 1.
template <class T>
[[gnu::always_inline]] inline StateRows<T> TopRows(double v, const T& e) {
    const T one = Splat<T>(1), minusOne = Splat<T>(-1);
    return {{-e, one, (1 - 2 * v) * e, Splat<T>(1 - 2 * v)},
            {e, one, 2 * v * e, Splat<T>(-2 * v)},
            {-e, minusOne, (2 - 4 * v) * e, Splat<T>(-(2 - 4 * v))},
            {e, minusOne, e, one}};
}

// Bottom of a layer of thickness h: s = m h, the downward-decaying terms carry e.
template <class T>
[[gnu::always_inline]] inline StateRows<T> BottomRows(double v, const T& e, const T& s) {
    const T one = Splat<T>(1), minusOne = Splat<T>(-1);
    return {{minusOne, e, 1 - 2 * v - s, (1 - 2 * v + s) * e},
            {one, e, 2 * v + s, -(2 * v - s) * e},
            {minusOne, -e, 2 - 4 * v - s, -(2 - 4 * v + s) * e},
            {one, -e, 1 + s, (1 - s) * e}};
}

void CheckInputs(const LayeredSystem& sys) {
    const int n = sys.layerCount;
    if (n < 2 || n > kMaxAnalysisLayers) {
        throw AnalysisError("layer count " + std::to_string(n) + " outside 2.." +
                            std::to_string(kMaxAnalysisLayers));
    }
    const auto need = static_cast<std::size_t>(n) + 1;
    if (sys.thickness.size() < need || sys.modulus.size() < need || sys.poisson.size() < need ||
        sys.bond.size() < need) {
        throw AnalysisError("layer arrays shorter than the layer count");
    }
}

// Places the four conditions of interface i (between layers i and i+1) in rows 4i-2..4i+1.
template <class T, class Band>
[[gnu::always_inline]] inline void AssembleInterface(Band& band, const LayeredSystem& sys, int i,
                                                     const T& m, const T* expH) {
    const int n = sys.layerCount;
    const auto iu = static_cast<std::size_t>(i);
    const double v = sys.poisson[iu];
    const double vNext = sys.poisson[iu + 1];
    const double e = sys.modulus[iu];
    const double k = sys.bond[iu];
    const StateRows<T> bottom = BottomRows<T>(v, expH[i], m * sys.thickness[iu]);
    const StateRows<T> top = TopRows<T>(vNext, i + 1 < n ? expH[i + 1] : Splat<T>(0.0));

    const double ratio = (1 + vNext) * e / ((1 + v) * sys.modulus[iu + 1]);
    const double rho = ratio > 1 ? ratio : 1.0;
    const T g = (1 - k) * m * e / (1 + v);
    const T alpha = g / (g + k * rho);
    const T beta = k / (g + k * rho);

    const int r = 4 * i - 2;
    const int ci = 4 * (i - 1);
    const int cn = 4 * i;
    const int end = i + 1 == n ? cn + 1 : cn + 3;
    for (int q = 0; q < 4; ++q) band.SetRowEnd(r + q, end);
    for (int q = 0; q < 4; ++q) {
        band(r, ci + q) = bottom.sz[q];
        band(r + 1, ci + q) = bottom.tau[q];
        band(r + 2, ci + q) = bottom.w[q] / rho;
        band(r + 3, ci + q) = alpha * bottom.tau[q] + beta * bottom.u[q];
    }
    // The bottom layer has only its downward-decaying terms (b, d) in two columns.
    const bool halfSpace = i + 1 == n;
    for (int q = 0; q < 4; ++q) {
        if (halfSpace && (q == 0 || q == 2)) continue;
        const int c = halfSpace ? cn + q / 2 : cn + q;
        band(r, c) = -top.sz[q];
        band(r + 1, c) = -top.tau[q];
        band(r + 2, c) = -ratio * top.w[q] / rho;
        band(r + 3, c) = -beta * ratio * top.u[q];
    }
}

// Gaussian elimination with row partial pivoting inside the band, then back substitution
// into band.rhs. Returns false on an exactly zero pivot (a singular system).
//
// The solve is a chain of dependent steps, so it is written for latency: the pivot search
// has no data-dependent branch, an interchange exchanges a fixed span (the columns beyond
// both rows' last non-zero ones are zeros on both sides), and the back substitution takes
// the unknown just found from a register rather than from memory.
// Every coefficient still sees the same operations in the same order.
bool SolveBand(BandSystem& band) {
    const int n = band.n;
    double* const a = band.m.data();
    double* const rhs = band.rhs.data();
    int* const rowEnd = band.rowEnd.data();
    // Column c of row r; the band keeps row r's columns r-5..r+10.
    const auto at = [a](int r, int c) -> double* {
        return a + (r * kBandWidth + c - r + kLowerBand);
    };
    for (int j = 0; j < n; ++j) {
        const int last = j + kLowerBand < n - 1 ? j + kLowerBand : n - 1;
        const int right = j + kUpperBand < n - 1 ? j + kUpperBand : n - 1;
        int p = j;
        double big = std::abs(*at(j, j));
        for (int r = j + 1; r <= last; ++r) {
            const double v = std::abs(*at(r, j));
            p = v > big ? r : p;
            big = v > big ? v : big;
        }
        if (big == 0.0) return false;
        if (p != j) {
            double* rowJ = at(j, j);
            double* rowP = at(p, j);
            for (int c = 0; c <= kUpperBand; ++c) {
                const double t = rowJ[c];
                rowJ[c] = rowP[c];
                rowP[c] = t;
            }
            const double t = rhs[p];
            rhs[p] = rhs[j];
            rhs[j] = t;
            const int e = rowEnd[p];
            rowEnd[p] = rowEnd[j];
            rowEnd[j] = e;
        }
        const double* const pivotRow = at(j, j);
        const double inverse = 1.0 / pivotRow[0];
        band.inversePivot[static_cast<std::size_t>(j)] = inverse;
        const int pivotEnd = std::min(rowEnd[j], right);
        const int width = pivotEnd - j;
        const double pivotRhs = rhs[j];
        for (int r = j + 1; r <= last; ++r) {
            double* const row = at(r, j);
            const double f = row[0] * inverse;
            if (f == 0.0) continue;
            row[0] = 0.0;
            for (int c = 1; c <= width; ++c) row[c] -= f * pivotRow[c];
            rowEnd[r] = std::max(rowEnd[r], pivotEnd);
            rhs[r] -= f * pivotRhs;
        }
    }
    double next = 0.0;  // the unknown found last, x[j+1]
    for (int j = n - 1; j >= 0; --j) {
        const int right = std::min(rowEnd[j], n - 1);
        const double* const row = at(j, j);
        double sum = rhs[j];
        if (right > j) {
            sum -= row[1] * next;
            for (int c = j + 2; c <= right; ++c) sum -= row[c - j] * rhs[c];
        }
        next = sum * band.inversePivot[static_cast<std::size_t>(j)];
        rhs[j] = next;
    }
    return true;
}

}  // namespace

CoefficientStatus LayerCoefficients(const LayeredSystem& system, double m,
                                    std::vector<double>& coefficients) {
    CheckInputs(system);
    const int n = system.layerCount;
    const auto& h = system.thickness;
    const auto size = static_cast<std::size_t>(4 * n);
    // Every entry is written below, so a vector of the right size (the usual case: one
    // structure, many m) is neither cleared nor reallocated.
    if (coefficients.size() != size) coefficients.assign(size, 0.0);

    // The factors the layout's normalisation needs must stay above 1e-200, so that every
    // conversion factor below stays under 1e200.
    for (int i = 1; i < n; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        const double hBelow = i + 1 < n ? h[iu + 1] : h[iu];
        if (m * (h[iu - 1] + h[iu]) > kUnderflowExponent ||
            m * (2 * hBelow + h[iu]) > kUnderflowExponent || m * h[iu] > kUnderflowExponent) {
            std::fill(coefficients.begin(), coefficients.end(), 0.0);
            return CoefficientStatus::Underflow;
        }
    }

    // expH[j] = exp(-m h(j)), j = 0 (the scaling shift) .. N-1.
    std::array<double, kMaxAnalysisLayers> expH{};
    for (int j = 0; j < n; ++j)
        expH[static_cast<std::size_t>(j)] = std::exp(-m * h[static_cast<std::size_t>(j)]);

    BandSystem band;
    band.n = 4 * n - 2;
    std::fill_n(band.m.begin(), band.n * kBandWidth, 0.0);
    std::fill_n(band.rhs.begin(), band.n, 0.0);

    // Unit pressure and no shear at the surface (top of layer 1).
    const StateRows<double> surface = TopRows<double>(system.poisson[1], expH[1]);
    for (int q = 0; q < 4; ++q) {
        band(0, q) = -surface.sz[q];
        band(1, q) = surface.tau[q];
    }
    band.rhs[0] = 1.0;
    band.rowEnd[0] = 3;
    band.rowEnd[1] = 3;
    for (int i = 1; i < n; ++i) AssembleInterface<double>(band, system, i, m, expH.data());

    if (!SolveBand(band)) {
        std::fill(coefficients.begin(), coefficients.end(), 0.0);
        throw AnalysisError("singular layer coefficient system");
    }

    // Back to the layout's normalisation: A, C referred to exp(-m(2h(j)+h(j-1)-z)), B, D to
    // exp(-m(z+h(j-1))), and the bottom layer's B, D to exp(-m(z+2h(N-1))).
    for (int j = 1; j < n; ++j) {
        const auto ju = static_cast<std::size_t>(j);
        const double upward = 1.0 / (expH[ju] * expH[ju - 1]);
        const double downward = 1.0 / expH[ju - 1];
        const std::size_t x = 4 * (ju - 1);
        coefficients[x + 0] = band.rhs[x + 0] * upward;
        coefficients[x + 1] = band.rhs[x + 1] * downward;
        coefficients[x + 2] = band.rhs[x + 2] * upward;
        coefficients[x + 3] = band.rhs[x + 3] * downward;
    }
    const auto last = static_cast<std::size_t>(n - 1);
    const double bottomScale = 1.0 / (expH[last] * expH[last]);
    coefficients[4 * last + 0] = 0.0;
    coefficients[4 * last + 2] = 0.0;
    coefficients[4 * last + 1] = band.rhs[4 * last] * bottomScale;
    coefficients[4 * last + 3] = band.rhs[4 * last + 1] * bottomScale;

    for (const double c : coefficients) {
        if (!std::isfinite(c)) throw AnalysisError("layer coefficients not finite");
    }
    return CoefficientStatus::Ok;
}

namespace {

bool Underflows(const LayeredSystem& system, double m) {
    const int n = system.layerCount;
    const auto& h = system.thickness;
    for (int i = 1; i < n; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        const double hBelow = i + 1 < n ? h[iu + 1] : h[iu];
        if (m * (h[iu - 1] + h[iu]) > kUnderflowExponent ||
            m * (2 * hBelow + h[iu]) > kUnderflowExponent || m * h[iu] > kUnderflowExponent) {
            return true;
        }
    }
    return false;
}

#define TAVRO_LANES_FILE "analysis/coefficient_lanes.inc"
#include "analysis/each_lane_width.inc"
#undef TAVRO_LANES_FILE

}  // namespace

void LayerCoefficientsBlock(const LayeredSystem& system, const double* m, int count, int layer,
                            CoefficientBlock& out) {
    CheckInputs(system);
    const int n = system.layerCount;
    if (count < 1 || count > kCoefficientLanes || layer < 1 || layer > n) {
        throw AnalysisError("coefficient block outside its lanes or layers");
    }
    // Lanes past `count` and lanes whose factors underflow solve a copy of a valid lane, so
    // that no lane computes with factors the single solve would have refused.
    double lm[kCoefficientLanes];
    int valid = -1;
    for (int l = 0; l < kCoefficientLanes; ++l) {
        const auto lu = static_cast<std::size_t>(l);
        out.status[lu] = CoefficientStatus::Ok;
        out.fault[lu] = nullptr;
        out.abcd[lu] = {0, 0, 0, 0};
        if (l < count && Underflows(system, m[l])) {
            out.status[lu] = CoefficientStatus::Underflow;
        } else if (l < count && valid < 0) {
            valid = l;
        }
    }
    if (valid < 0) return;
    for (int l = 0; l < kCoefficientLanes; ++l) {
        const bool own =
            l < count && out.status[static_cast<std::size_t>(l)] == CoefficientStatus::Ok;
        lm[l] = own ? m[l] : m[valid];
    }
#ifdef TAVRO_WIDER_LANES
    switch (ActiveLaneWidth()) {
        case LaneWidth::Octets:
            wide::SolveBlock(system, lm, count, layer, out);
            return;
        case LaneWidth::Quads:
            quads::SolveBlock(system, lm, count, layer, out);
            return;
        case LaneWidth::Pairs:
            break;
    }
#endif
    pairs::SolveBlock(system, lm, count, layer, out);
}

}  // namespace tavro::analysis
