// Peers that tests run as commands: their output, and skipping a test
// whose peer is missing.
#ifndef KEL_TESTS_PEER_SUPPORT_H
#define KEL_TESTS_PEER_SUPPORT_H

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

// Peers the tests need; a missing one skips the test, except in CI, where
// it fails.
#define REQUIRE_PEER(probe)                                                     \
    do {                                                                        \
        if (system(probe " >/dev/null 2>&1") != 0) {                            \
            if (getenv("CI"))                                                   \
                FAIL() << "no peer: " << probe;                                 \
            GTEST_SKIP() << "no peer: " << probe;                               \
        }                                                                       \
    } while (0)

inline std::vector<unsigned char> runPeer(const std::string& command)
{
    std::vector<unsigned char> out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    unsigned char buf[65536];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;)
        out.insert(out.end(), buf, buf + n);
    if (p)
        pclose(p);
    return out;
}

#endif
