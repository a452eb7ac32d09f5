// The quadrature rule, ln Gamma, Bessel fits and the dense solver against moments of e^-x,
// the standard library's special functions and a hand-solved system.
#include "analysis/numerical.h"

#include <gtest/gtest.h>

#include "analysis/lane_width.h"

#include <algorithm>
#include <cmath>

namespace tavro::analysis {
namespace {

// The rational/asymptotic Bessel fits are good to about 1e-8 absolute.
constexpr double kBesselTolerance = 2e-8;
constexpr double kMomentTolerance = 1e-12;

// The moments of x^alpha e^-x are Gamma(k + alpha + 1): the 200-point rule gets the low ones
// to rounding, and an n-point rule is exact up to degree 2n - 1.
TEST(LaguerreRule, IntegratesPowersTimesExponentialExactly) {
    struct Case {
        LaguerreRule rule;
        double alpha;
        int degree;
        double tolerance;
    };
    const Case cases[] = {{StandardLaguerreRule(), 0.0, 8, kMomentTolerance},
                          {LaguerreNodes(5, 1.0), 1.0, 9, 1e-11}};
    for (const Case& c : cases) {
        for (int k = 0; k <= c.degree; ++k) {
            double sum = 0;
            for (int j = 1; j <= c.rule.count; ++j)
                sum += c.rule.weight[j] * std::pow(c.rule.node[j], k);
            EXPECT_NEAR(sum / std::tgamma(k + c.alpha + 1), 1.0, c.tolerance)
                << "alpha " << c.alpha << " moment " << k;
        }
    }
}

TEST(LaguerreRule, IsCutWhereWeightsUnderflowAndTheTailIsZero) {
    const LaguerreRule& rule = StandardLaguerreRule();
    ASSERT_EQ(rule.node.size(), 201u);
    EXPECT_LT(rule.weight[rule.count], 1e-300);
    EXPECT_GE(rule.weight[rule.count - 1], 1e-300);
    for (int j = rule.count + 1; j <= 200; ++j) EXPECT_EQ(rule.weight[j], 0.0);
    for (int j = 2; j <= rule.count; ++j) EXPECT_GT(rule.node[j], rule.node[j - 1]);
    // The smallest root of L_200 lies near 0.0072 (j0,1^2 / (4n + 2)).
    EXPECT_NEAR(rule.node[1], 2.4048255577 * 2.4048255577 / 802.0, 2e-5);
}

TEST(LogGamma, MatchesTheStandardLibrary) {
    for (double x = 0.5; x < 300; x *= 1.37)
        EXPECT_NEAR(LogGamma(x), std::lgamma(x), 1e-10 * std::max(1.0, std::abs(std::lgamma(x))))
            << x;
}

TEST(Bessel, MatchesTheStandardLibraryOnBothSidesOfEight) {
    for (double x = 0.0; x <= 60.0; x += 0.173) {
        EXPECT_NEAR(BesselJ0(x), std::cyl_bessel_j(0.0, x), kBesselTolerance) << x;
        EXPECT_NEAR(BesselJ1(x), std::cyl_bessel_j(1.0, x), kBesselTolerance) << x;
        EXPECT_NEAR(BesselJ1Scaled(x, 0.5), std::cyl_bessel_j(1.0, x * 0.5), kBesselTolerance);
        if (x > 0) {
            EXPECT_NEAR(BesselJ1OverX(x), std::cyl_bessel_j(1.0, x) / x, kBesselTolerance) << x;
        }
    }
    EXPECT_NEAR(BesselJ0(8.0), std::cyl_bessel_j(0.0, 8.0), kBesselTolerance);  // the switch
    EXPECT_NEAR(BesselJ1OverX(0.0), 0.5, kBesselTolerance);
    EXPECT_DOUBLE_EQ(BesselJ1(-12.5), -BesselJ1(12.5));  // odd, from either fit
    EXPECT_DOUBLE_EQ(BesselJ1(-3.3), -BesselJ1(3.3));
}

TEST(DenseSolver, SolvesAHandWorkedSystemWithANegativePivot) {
    // 2x + y + z = 5, 4x - 6y = -2, -2x + 7y + 2z = 9 has x = 1, y = 1, z = 2; elimination
    // meets a negative pivot, which must be used as it is.
    const std::vector<double> a = {2, 1, 1, 4, -6, 0, -2, 7, 2};
    const std::vector<double> b = {5, -2, 9};
    const std::vector<double> x = SolveLinearSystem(a, 3, b), want = {1, 1, 2};
    ASSERT_EQ(x.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(x[i], want[i], 1e-14) << i;
    // A singular matrix gives numbers, not a crash.
    EXPECT_EQ(SolveLinearSystem({1, 2, 2, 4}, 2, {1, 2}).size(), 2u);
}

// The block fits reduce their shared sine and cosine themselves: rounding differences only.
constexpr double kBlockBesselTolerance = 1e-12;

TEST(BesselBlock, MatchesTheSingleFitsAndWritesNothingPastTheCount) {
    for (const LaneWidth width : AvailableLaneWidths()) {
        ASSERT_TRUE(SetLaneWidth(width));
        std::vector<double> x;
        for (double v = 0; v < 20; v += 0.0137) x.push_back(v);
        for (double v = 7.9999; v < 8.0001; v += 0.00001) x.push_back(v);  // the switch of fits
        for (double v = 20; v < 120000; v *= 1.0013) x.push_back(v);
        const int n = static_cast<int>(x.size());
        std::vector<double> j0(x.size()), ratio(x.size()), j1(x.size()), j0only(x.size());
        BesselJ0J1Block(x.data(), n, j0.data(), ratio.data(), j1.data());
        BesselJ0Block(x.data(), n, j0only.data());
        for (std::size_t i = 0; i < x.size(); ++i) {
            ASSERT_NEAR(j0[i], BesselJ0(x[i]), kBlockBesselTolerance) << x[i];
            ASSERT_EQ(j0only[i], j0[i]);
            ASSERT_NEAR(j1[i], BesselJ1(x[i]), kBlockBesselTolerance) << x[i];
            if (x[i] > 0) {
                ASSERT_NEAR(ratio[i], BesselJ1OverX(x[i]), kBlockBesselTolerance) << x[i];
            }
        }
        EXPECT_EQ(ratio[0], BesselJ1OverX(0.0));  // the fit at x = 0, about 1/2

        // A part-filled last vector gives the same values and writes nothing past the count.
        std::vector<double> y;
        for (int i = 0; i < 24; ++i) y.push_back(0.37 + 1.9 * i);  // both fits
        BesselJ0J1Block(y.data(), 24, j0.data(), ratio.data(), j1.data());
        for (int n = 1; n <= 17; ++n) {
            const double sentinel = -123.0;
            std::vector<double> a(static_cast<std::size_t>(n) + 1, sentinel), b = a, c = a, d = a;
            BesselJ0J1Block(y.data(), n, a.data(), b.data(), c.data());
            BesselJ0Block(y.data(), n, d.data());
            for (const auto& [got, want] :
                 {std::pair{&a, &j0}, {&b, &ratio}, {&c, &j1}, {&d, &j0}}) {
                EXPECT_TRUE(std::equal(got->begin(), got->end() - 1, want->begin())) << n;
                EXPECT_EQ(got->back(), sentinel) << n;
            }
        }
    }
    ResetLaneWidth();
}

}  // namespace
}  // namespace tavro::analysis
