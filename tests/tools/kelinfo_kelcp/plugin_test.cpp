#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "rawImages.h"
#include "toolRun.h"

namespace {

// A database with a format whose plug-in does not exist beside a working one.
class MissingPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream db(dir / "database");
        db << "format Raw\n"
              "    description \"Raw pixel data\"\n"
              "    dll libkelRaw0.so\n"
              "    access readwrite\n"
              "    subsystem \"kel.test\"\n"
              "    suffixes .raw\n"
              "format Bogus\n"
              "    description \"A format without a plug-in\"\n"
              "    dll libkelBogusNowhere0.so\n"
              "    access readwrite\n"
              "    subsystem \"kel.test\"\n"
              "    suffixes .bog, .BOG, \"bogus.z\"\n";
        env = {"KEL_DATABASE=" + (dir / "database")};
    }

    ScratchDir dir;
    std::vector<std::string> env;
};

TEST_F(MissingPlugin, KelinfoReportsItAsNotLoadableAndCarriesOn)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {"--json"}, env);
    ASSERT_EQ(0, r.status) << r.err;
    nlohmann::json formats = nlohmann::json::parse(r.out)["formats"];
    ASSERT_EQ(2u, formats.size());
    for (const nlohmann::json& f : formats) {
        bool bogus = f["name"] == "Bogus";
        EXPECT_EQ(!bogus, f["loadable"].get<bool>()) << f.dump();
        if (bogus) {
            EXPECT_NE(std::string::npos, f["reason"].get<std::string>().find("libkelBogusNowhere0")) << f.dump();
            EXPECT_EQ(nlohmann::json({".bog", ".BOG", "bogus.z"}), f["suffixes"]);
        }
    }
    ToolResult table = runTool(KELINFO_PROGRAM, {}, env);
    EXPECT_EQ(0, table.status);
    EXPECT_NE(std::string::npos, table.out.find("no\n")) << table.out;
}

TEST_F(MissingPlugin, KelcpNamesTheFormatAndWritesNothing)
{
    std::string source = writePatternImage(dir / "a.raw", 4, 4, 1);
    ToolResult r = runTool(KELCP_PROGRAM, {source, dir / "out.bog"}, env);
    EXPECT_EQ(1, r.status);
    ASSERT_FALSE(r.errLines().empty());
    EXPECT_EQ("kelcp: " + (dir / "out.bog") + ": the plug-in of format Bogus cannot be loaded", r.errLines()[0]);
    EXPECT_EQ((std::vector<std::string>{"a.raw", "database"}), dir.entries());
}

TEST_F(MissingPlugin, NoDatabaseAtAllIsOneClearFailure)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {}, {"KEL_DATABASE=" + (dir / "nothing-here")});
    EXPECT_EQ(1, r.status);
    ASSERT_FALSE(r.errLines().empty());
    EXPECT_EQ(0u, r.errLines()[0].find("kelinfo: database: no formats found")) << r.err;
}

} // namespace
