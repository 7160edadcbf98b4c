#include "kelCpuKernels.h"

bool kelAvx2Available()
{
#if KEL_HAVE_AVX2_KERNELS
    __builtin_cpu_init();
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
#else
    return false;
#endif
}

static bool kelAvx2Chosen = kelAvx2Available();

bool kelAvx2Kernels()
{
    return kelAvx2Chosen;
}

bool kelUseAvx2Kernels(bool on)
{
    bool was = kelAvx2Chosen;
    kelAvx2Chosen = on && kelAvx2Available();
    return was;
}
