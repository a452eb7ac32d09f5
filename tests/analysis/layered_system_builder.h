// Layered systems written as a list of layers, the bottom one (the subgrade) last.
#pragma once

#include <vector>

#include "analysis/lea_types.h"

namespace tavro::analysis::layered {

// Thickness (ignored for the bottom layer), modulus, Poisson's ratio, bond below the layer.
struct Layer {
    double h, e, v, k;
};

// `shift` is the scaling shift held in thickness[0].
inline LayeredSystem MakeSystem(const std::vector<Layer>& layers, double shift = 0.0) {
    LayeredSystem s;
    const int n = static_cast<int>(layers.size());
    s.layerCount = n;
    s.thickness = s.bottomDepth = s.modulus = s.poisson = std::vector<double>(n + 1, 0.0);
    s.bond.assign(n + 1, 1.0);
    for (int i = 1; i <= n; ++i) {
        const Layer& l = layers[i - 1];
        s.thickness[i] = i < n ? l.h : 0.0;
        s.modulus[i] = l.e;
        s.poisson[i] = l.v;
        s.bond[i] = l.k;
    }
    s.thickness[n] = s.thickness[n - 1];
    s.thickness[0] = shift;
    for (int i = 1; i < n; ++i) s.bottomDepth[i] = s.bottomDepth[i - 1] + s.thickness[i];
    return s;
}

}  // namespace tavro::analysis::layered
