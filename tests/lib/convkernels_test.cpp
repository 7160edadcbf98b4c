#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "kelConvKernels.h"

namespace {

std::vector<uint8_t> pattern(size_t n, int seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i++)
        v[i] = uint8_t(i * 7 + seed * 31 + (i >> 8));
    return v;
}

} // namespace

TEST(ConvKernels, SplitAndJoinPixels)
{
    // Lengths around the 16-pixel blocks, so that both the blocks and the
    // tail run.
    for (int nc : {3, 4})
        for (long n : {0L, 1L, 15L, 16L, 17L, 32L, 47L, 100L}) {
            std::vector<uint8_t> in = pattern(size_t(n * nc), nc);
            std::vector<std::vector<uint8_t>> planes(nc, std::vector<uint8_t>(size_t(n) + 1, 0xee));
            uint8_t* p[4];
            for (int k = 0; k < nc; k++)
                p[k] = planes[k].data();
            kelSplitPixels(in.data(), nc, n, p);
            for (int k = 0; k < nc; k++) {
                for (long i = 0; i < n; i++)
                    ASSERT_EQ(in[i * nc + k], planes[k][i]) << "nc " << nc << " n " << n;
                EXPECT_EQ(0xee, planes[k][n]); // nothing past the end
            }
            std::vector<uint8_t> out(size_t(n * nc) + 1, 0xee);
            kelJoinPixels(p, nc, n, out.data());
            EXPECT_EQ(0xee, out.back()); // nothing past the end
            out.pop_back();
            EXPECT_EQ(in, out) << "nc " << nc << " n " << n;
        }
}

TEST(ConvKernels, TransposeBytes)
{
    for (long nr : {1L, 15L, 16L, 33L})
        for (long nc : {1L, 16L, 31L, 48L}) {
            const long inPitch = nc + 3, outPitch = nr + 5;
            std::vector<uint8_t> in = pattern(size_t(nr * inPitch), int(nr + nc));
            std::vector<uint8_t> out(size_t(nc * outPitch), 0xee);
            kelTransposeBytes(in.data(), inPitch, out.data(), outPitch, nr, nc);
            for (long c = 0; c < nc; c++)
                for (long r = 0; r < outPitch; r++)
                    ASSERT_EQ(r < nr ? in[r * inPitch + c] : 0xee, out[c * outPitch + r]) << nr << "x" << nc;
        }
}
