// Which code path of the cell loop this processor runs.
#include "terrain/sunBlock.h"

namespace {

bool hasAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
}

}  // namespace

cell_path cellPathRun(cell_path wanted) {
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool avx512 = hasAvx512();
    switch (wanted) {
        case CELL_PATH_BEST:
            return avx512 ? CELL_PATH_AVX512 : avx2 ? CELL_PATH_AVX2 : CELL_PATH_BASELINE;
        case CELL_PATH_AVX2:
            return avx2 ? CELL_PATH_AVX2 : CELL_PATH_BASELINE;
        case CELL_PATH_AVX512:
            return avx512 ? CELL_PATH_AVX512 : CELL_PATH_BASELINE;
        default:
            return CELL_PATH_BASELINE;
    }
}
