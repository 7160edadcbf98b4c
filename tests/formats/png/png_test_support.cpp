#include "png_test_support.h"

#include <openssl/evp.h>
#include <stdio.h>
#include <string.h>

using nlohmann::json;

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

// An item as JSON; null when the file lacks it.
template <class T, int N>
static json item(kelFile* f, int tag)
{
    T v[4] = {};
    kelStatus sts = N == 1 ? f->getItem(tag, &v[0])
                    : N == 2 ? f->getItem(tag, &v[0], &v[1])
                    : N == 3 ? f->getItem(tag, &v[0], &v[1], &v[2])
                             : f->getItem(tag, &v[0], &v[1], &v[2], &v[3]);
    if (sts != kelOKAY)
        return nullptr;
    json values = json::array();
    for (int i = 0; i < N; ++i)
        values.push_back(v[i]);
    return values;
}

json pngItems(kelFile* f, const json& want)
{
    json got = json::object();
    json v = item<double, 1>(f, kelPNGgamma);
    if (!v.is_null())
        got["gamma"] = int(v[0].get<double>() * 100000 + 0.5);
    if (!(v = item<int, 4>(f, kelPNGsignificantBits)).is_null())
        got["sbit"] = v;
    for (int tag : {kelPNGbackgroundGray, kelPNGbackgroundIndex, kelPNGbackgroundColor})
        if (!(v = tag == kelPNGbackgroundColor ? item<int, 3>(f, tag) : item<int, 1>(f, tag)).is_null())
            got["background"] = v;
    if (!(v = item<int, 1>(f, kelPNGtransparentGray)).is_null() ||
        !(v = item<int, 3>(f, kelPNGtransparentColor)).is_null())
        got["transparent"] = v;
    json chrm = json::array();
    for (int tag = kelPNGwhitePoint; tag <= kelPNGbluePrimary; ++tag)
        for (const json& x : item<double, 2>(f, tag))
            chrm.push_back(int(x.get<double>() * 100000 + 0.5));
    if (!chrm.empty())
        got["chromaticities"] = chrm;
    if (!(v = item<int, 1>(f, kelPNGsRGBIntent)).is_null())
        got["srgb_intent"] = v[0];
    if (!(v = item<int, 2>(f, kelPNGresolution)).is_null())
        got["resolution"] = {v[0], v[1], item<int, 1>(f, kelPNGresolutionUnit)[0]};
    const char* text = nullptr;
    if (f->getItem(kelPNGmodificationTime, &text) == kelOKAY)
        got["time"] = text;
    // Texts by value, or by their SHA-256 where the expectations keep only that.
    const bool hashed = want.contains("text_sha256");
    const char* key = hashed ? "text_sha256" : "text";
    got[key] = json::object();
    for (const auto& keyword : want[key].items())
        if (f->getItem(kelPNGtext, keyword.key().c_str(), &text) == kelOKAY)
            got[key][keyword.key()] = hashed ? sha256(Bytes(text, text + strlen(text))) : std::string(text);
    int size = 0;
    void* profile = nullptr;
    if (f->getICCProfile(size, profile) == kelOKAY)
        got["icc_length"] = size;
    return got;
}

json pngPalette(kelFile* f)
{
    const kelColormap* map = nullptr;
    json entries = json::array();
    if (f->getColormap(map) != kelOKAY || !map)
        return entries;
    for (int i = 0; i < map->getLength(); ++i) {
        json entry = json::array();
        for (int c = 0; c < map->getNumChans(); ++c)
            entry.push_back(int(map->getVal(i, c)));
        entries.push_back(entry);
    }
    return entries;
}

