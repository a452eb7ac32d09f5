// Numerical routines of the layered elastic solver: the Gauss-Laguerre rule, ln Gamma, the
// Bessel approximations and a dense linear solver.
#pragma once

#include <vector>

namespace tavro::analysis {

// Nodes and weights of the Gauss-Laguerre rule for the integral of x^alpha e^-x f(x) over
// 0..inf, 1-based (entry 0 unused). `count` is lowered to the index at which the weights
// underflowed below 1e-300; entries beyond it are 0.
struct LaguerreRule {
    int count = 0;
    std::vector<double> node;    // 1..n
    std::vector<double> weight;  // 1..n
};

LaguerreRule LaguerreNodes(int n, double alpha);

// The rule every analysis uses (n = 200, alpha = 0), computed once on first use.
const LaguerreRule& StandardLaguerreRule();

double LogGamma(double x);
double BesselJ0(double x);
double BesselJ1(double x);
double BesselJ1OverX(double x);             // x != 0
double BesselJ1Scaled(double x, double y);  // J1(x*y)

// The same fits for n arguments at once, evaluated lane-parallel, with one sine and cosine
// per argument shared by J0 and J1: within 1e-13 of the single routines (the trigonometry
// differs in the last digits). j1OverX of x = 0 is the fit's value there, about 1/2.
void BesselJ0Block(const double* x, int n, double* j0);
void BesselJ0J1Block(const double* x, int n, double* j0, double* j1OverX, double* j1);

// Dense LU factorisation with implicit partial pivoting (Crout); `a` is n x n row-major.
// A zero or tiny pivot is replaced by 1e-20. n at most 500.
void LuDecompose(std::vector<double>& a, int n, std::vector<int>& index, double& d);
void LuBackSubstitute(const std::vector<double>& a, int n, const std::vector<int>& index,
                      std::vector<double>& b);
// x with a*x = b; a and b are left unchanged.
std::vector<double> SolveLinearSystem(const std::vector<double>& a, int n,
                                      const std::vector<double>& b);

}  // namespace tavro::analysis
