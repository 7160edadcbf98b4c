#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string.h>

#include <string>

#include "kelPlatform.h"

namespace {

TEST(Platform, SystemDirectoryIsTheLibrarysKelDirectory)
{
    std::string dir = kelPlatformSystemDirectory();
    ASSERT_GE(dir.size(), 5u);
    EXPECT_EQ('/', dir[0]);
    EXPECT_EQ("/kel", dir.substr(dir.size() - 4));
}

TEST(Platform, MissingLibrariesDoNotLoad)
{
    EXPECT_EQ(nullptr, kelPlatformLoadLibrary("libkelNoSuchFormat0.so"));
    EXPECT_EQ(nullptr, kelPlatformLoadLibrary("/nonexistent/libkelRaw0.so"));
}

TEST(Platform, LoadsTheCoreByItsBareName)
{
    Dl_info info;
    ASSERT_NE(0, dladdr(reinterpret_cast<void*>(&kelPlatformSystemDirectory), &info));
    const char* slash = strrchr(info.dli_fname, '/');
    ASSERT_NE(nullptr, slash);
    EXPECT_EQ(0, strncmp(slash + 1, "libkel0", 7));
    EXPECT_NE(nullptr, kelPlatformLoadLibrary(slash + 1));
}

} // namespace
