// The cell loop of the season: each sample's sun against every cell of a
// part, fused (incidence, tilted irradiance, attenuation, sum) so that a
// part's values stay in registers and the first cache level. The same source
// is compiled for AVX2 and for the baseline; vector lanes round exactly as
// scalar operations do and nothing is contracted, so both give the same bits.
#include "terrain/sunBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

template <bool kShade>
__attribute__((always_inline)) inline void addSamples(const sun_block *b, int first, int last, const cell_part *c,
                                                      const part_horizons *h) {
    const int n = c->count;
    const float *__restrict cp = c->cos_aspect;
    const float *__restrict sp = c->sin_aspect;
    const float *__restrict ct = c->cos_tilt;
    const float *__restrict st = c->sin_tilt;
    float *__restrict sums = c->sums;
    int *__restrict hidden = kShade ? h->hidden : nullptr;
    for (int s = first; s < last; s++) {
        const float ca = b->cos_azimuth[static_cast<std::size_t>(s)];
        const float sa = b->sin_azimuth[static_cast<std::size_t>(s)];
        const float sz = b->sin_zenith[static_cast<std::size_t>(s)];
        const float cz = b->cos_zenith[static_cast<std::size_t>(s)];
        const float en = b->etr_normal[static_cast<std::size_t>(s)];
        const double fade = b->fade[static_cast<std::size_t>(s)];
        const float *__restrict a0 = nullptr;
        const float *__restrict a1 = nullptr;
        float w = 0.0f;
        float sun = 0.0f;
        if (kShade) {
            const int k = h->below[s];
            a0 = h->angles + static_cast<std::size_t>(k) * n;
            a1 = h->angles + static_cast<std::size_t>(k + 1 == h->directions ? 0 : k + 1) * n;
            w = h->weight[s];
            sun = b->elevation[static_cast<std::size_t>(s)];
        }
        for (int i = 0; i < n; i++) {
            // The engine's incidence and tilted irradiance, in its order.
            const float incidence = ((sa * sp[i] + ca * cp[i]) * (sz * st[i])) + cz * ct[i];
            // Every value is formed and then selected, without branches, so
            // that the loop runs in vector lanes.
            const float product = incidence * en;
            std::uint32_t keep = -static_cast<std::uint32_t>(incidence > 0.0f);
            if (kShade) {
                const float horizon = a0[i] + w * (a1[i] - a0[i]);
                const std::uint32_t behind = -static_cast<std::uint32_t>(sun <= horizon);
                hidden[i] -= static_cast<std::int32_t>(keep & behind);
                keep &= ~behind;
            }
            std::uint32_t b;
            std::memcpy(&b, &product, sizeof b);
            b &= keep;
            float tilted;
            std::memcpy(&tilted, &b, sizeof tilted);
            // The day integration's sample energy: times 60 s and then the
            // step, one minute, which changes no bit.
            const double energy = static_cast<double>(tilted) * fade * 60.0;
            sums[i] = static_cast<float>(static_cast<double>(sums[i]) + energy);
        }
    }
}

__attribute__((target("avx2"))) void addAvx2(const sun_block *b, int first, int last, const cell_part *c,
                                             const part_horizons *h) {
    if (h == nullptr)
        addSamples<false>(b, first, last, c, h);
    else
        addSamples<true>(b, first, last, c, h);
}

__attribute__((target("avx512f,avx512dq,avx512vl,avx512bw,prefer-vector-width=512"))) void addAvx512(
    const sun_block *b, int first, int last, const cell_part *c, const part_horizons *h) {
    if (h == nullptr)
        addSamples<false>(b, first, last, c, h);
    else
        addSamples<true>(b, first, last, c, h);
}

void addBaseline(const sun_block *b, int first, int last, const cell_part *c, const part_horizons *h) {
    if (h == nullptr)
        addSamples<false>(b, first, last, c, h);
    else
        addSamples<true>(b, first, last, c, h);
}

}  // namespace

void addCellSamples(const sun_block *block, int first, int last, const cell_part *part, const part_horizons *horizons,
                    cell_path path) {
    if (path == CELL_PATH_AVX512)
        addAvx512(block, first, last, part, horizons);
    else if (path == CELL_PATH_AVX2)
        addAvx2(block, first, last, part, horizons);
    else
        addBaseline(block, first, last, part, horizons);
}
