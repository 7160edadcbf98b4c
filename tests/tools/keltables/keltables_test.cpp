#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/wait.h>

#include <string>

using testing::HasSubstr;
using testing::Not;

namespace {

struct Output {
    int status;
    std::string out;
};

// Runs keltables with `args`; standard error joins the output.
Output keltables(const std::string& args)
{
    std::string command = std::string(KEL_TEST_BINARY_DIR) + "/bin/keltables " + args + " 2>&1";
    Output run{-1, ""};
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        run.out.append(buf, n);
    int status = pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Keltables, PrintsEveryTable)
{
    Output r = keltables("");
    EXPECT_EQ(0, r.status);
    for (const char* title : {"Data types", "Color models", "Orientations", "Channel orders", "Compressions",
                              "Status texts"})
        EXPECT_THAT(r.out, HasSubstr(title));
}

TEST(Keltables, DataTypeRows)
{
    Output r = keltables("datatypes");
    EXPECT_EQ(0, r.status);
    EXPECT_THAT(r.out, HasSubstr("    1  bit                     1         2     no      yes  0 "));
    EXPECT_THAT(r.out, HasSubstr("   16  short                   2        20    yes      yes  -32768 "));
    EXPECT_THAT(r.out, HasSubstr("  256  double                  8        80    yes       no  -1.7976931348623157e+308"));
    EXPECT_THAT(r.out, Not(HasSubstr("Color models")));
}

TEST(Keltables, ColorModelsShowChannelsAndAlpha)
{
    Output r = keltables("colormodels");
    EXPECT_THAT(r.out, HasSubstr("   11  multi-spectral        any  no\n"));
    EXPECT_THAT(r.out, HasSubstr("   13  luminance-alpha         2  yes\n"));
    EXPECT_THAT(r.out, HasSubstr("    8  CMYK                    4  no\n"));
}

TEST(Keltables, SelectedTablesInTheOrderAsked)
{
    Output r = keltables("status orders");
    EXPECT_EQ(0, r.status);
    size_t status = r.out.find("Status texts"), orders = r.out.find("Channel orders");
    ASSERT_NE(std::string::npos, status);
    ASSERT_NE(std::string::npos, orders);
    EXPECT_LT(status, orders);
    EXPECT_THAT(r.out, HasSubstr("    3  Bad parameter(s)\n"));
    EXPECT_THAT(r.out, HasSubstr("    4  separate\n"));
    EXPECT_THAT(r.out, Not(HasSubstr("Compressions")));
}

TEST(Keltables, UnknownTableIsAUsageError)
{
    Output r = keltables("orders colours");
    EXPECT_EQ(2, r.status);
    EXPECT_THAT(r.out, HasSubstr("unknown table \"colours\""));
    EXPECT_THAT(r.out, HasSubstr("usage: "));
    EXPECT_THAT(r.out, Not(HasSubstr("interleaved")));
    EXPECT_EQ(0, keltables("--help").status);
}

} // namespace
