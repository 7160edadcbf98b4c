#include "png_test_support.h"

#include <openssl/evp.h>
#include <stdio.h>

std::string sha256(const Bytes& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    std::string hex;
    char two[3];
    for (unsigned int i = 0; i < length; ++i) {
        snprintf(two, sizeof two, "%02x", digest[i]);
        hex += two;
    }
    return hex;
}

bool runCommand(const std::string& command, std::string& output)
{
    output.clear();
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return false;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
        output.append(buf, n);
    return pclose(p) == 0;
}

bool havePeer(const std::string& probe)
{
    std::string out;
    if (runCommand(probe, out))
        return true;
    if (getenv("CI"))
        ADD_FAILURE() << "a peer the tests need is missing in CI: " << probe << "\n" << out;
    return false;
}
