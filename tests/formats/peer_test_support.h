// Running the peers that format tests check kel against: a probe that
// skips a test when the peer is missing (failing it in CI), a command's
// output, and the pixels of the PNM files that codec tools write.
#ifndef KEL_TESTS_PEER_TEST_SUPPORT_H
#define KEL_TESTS_PEER_TEST_SUPPORT_H

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<unsigned char>;

#define PILLOW "/usr/bin/python3 -c 'import PIL'"
#define REQUIRE_PEER(probe)                                                     \
    do {                                                                        \
        if (system(probe " >/dev/null 2>&1") != 0) {                            \
            if (getenv("CI"))                                                   \
                FAIL() << "no peer: " << probe;                                 \
            GTEST_SKIP() << "no peer: " << probe;                               \
        }                                                                       \
    } while (0)

inline Bytes runPeer(const std::string& command)
{
    Bytes out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    unsigned char buf[65536];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;)
        out.insert(out.end(), buf, buf + n);
    if (p)
        pclose(p);
    return out;
}

// The pixels of a binary PGM or PPM, after its header.
inline Bytes pnmPixels(const Bytes& pnm)
{
    size_t at = 0;
    for (int fields = 0; fields < 4 && at < pnm.size(); fields++) {
        while (at < pnm.size() && isspace(pnm[at]))
            at++;
        while (at < pnm.size() && !isspace(pnm[at]))
            at++;
    }
    return at < pnm.size() ? Bytes(pnm.begin() + long(at) + 1, pnm.end()) : Bytes();
}

#endif
