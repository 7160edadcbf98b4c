#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <kel/kelDatabase.h>
#include <kel/kelError.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>

#include "kelToolNames.h"
#include "rawImages.h"
#include "toolRun.h"

namespace {

void quietHandler(void*, int, const char*, va_list) {}

nlohmann::json runJson(const std::vector<std::string>& args, int expectedStatus = 0)
{
    std::vector<std::string> all{"--json"};
    all.insert(all.end(), args.begin(), args.end());
    ToolResult r = runTool(KELINFO_PROGRAM, all);
    EXPECT_EQ(expectedStatus, r.status) << r.err;
    return nlohmann::json::parse(r.out);
}

TEST(KelinfoFormats, JsonListsTheDatabaseAsTheLibrarySeesIt)
{
    nlohmann::json formats = runJson({})["formats"];
    // A plug-in that fails to load must not end this process either.
    kelSetLocalErrorHandler quiet(quietHandler, nullptr);
    size_t i = 0;
    int index = 0;
    while (kelDatabase* db = kelDatabase::findNext(index)) {
        ASSERT_LT(i, formats.size());
        const nlohmann::json& f = formats[i++];
        EXPECT_EQ(db->getName(), f["name"].get<std::string>());
        EXPECT_EQ(db->getDescription(), f["description"].get<std::string>());
        EXPECT_EQ(db->getDSOName(), f["library"].get<std::string>());
        bool write = db->accessModeIsSupported(O_WRONLY), read = db->accessModeIsSupported(O_RDONLY);
        EXPECT_EQ(read && write ? "read-write" : write ? "write" : "read", f["access"].get<std::string>());
        if (db->getDefaultSuffix()) {
            EXPECT_EQ(db->getDefaultSuffix(), f["suffixes"][0].get<std::string>());
        }
        EXPECT_EQ(db->getFormat(1) != nullptr, f["loadable"].get<bool>()) << db->getName();
    }
    EXPECT_EQ(i, formats.size());
}

TEST(KelinfoFormats, TableHasOneRowPerFormatUnderAHeader)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(0u, r.out.find("FORMAT")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("\nRaw ")) << r.out;
    size_t rows = runJson({})["formats"].size();
    size_t lines = size_t(std::count(r.out.begin(), r.out.end(), '\n'));
    EXPECT_GE(lines, rows + 1);
}

class KelinfoFiles : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(KelinfoFiles, JsonDescribesEveryImageAsTheLibraryDoes)
{
    writePatternImage(dir / "a.raw", 5, 4, 3);
    std::string name = dir / "a.raw#Raw%size=5,4,1,3%pagesize=2,3%type=float%order=separate%orientation=lt";
    nlohmann::json files = runJson({name})["files"];
    ASSERT_EQ(1u, files.size());
    const nlohmann::json& file = files[0];
    EXPECT_EQ(name, file["file"].get<std::string>());
    EXPECT_EQ("Raw", file["format"].get<std::string>());
    ASSERT_EQ(1, file["image_count"].get<int>());
    const nlohmann::json& image = file["images"][0];

    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    kelSize size, page;
    f->getDimensions(size);
    f->getPageDimensions(page);
    EXPECT_EQ(nlohmann::json({size.x, size.y, size.z, size.c}), image["size"]);
    EXPECT_EQ(nlohmann::json({page.x, page.y, page.z, page.c}), image["page_size"]);
    EXPECT_EQ(kelToolNameOf(kelToolDataTypes, f->getDataType()), image["data_type"].get<std::string>());
    EXPECT_EQ(kelToolNameOf(kelToolOrders, f->getOrder()), image["order"].get<std::string>());
    EXPECT_EQ(kelToolNameOf(kelToolOrientations, f->getOrientation()), image["orientation"].get<std::string>());
    EXPECT_EQ(kelToolNameOf(kelToolColorModels, f->getColorModel()), image["color_model"].get<std::string>());
    EXPECT_EQ(kelToolNameOf(kelToolCompressions, f->getCompression()), image["compression"].get<std::string>());
    double min = 0, max = 0;
    ASSERT_EQ(kelOKAY, f->getScaleMinMax(min, max));
    EXPECT_EQ(min, image["scale"]["min"].get<double>());
    EXPECT_EQ(max, image["scale"]["max"].get<double>());
    f->close();

    // The names themselves, so that a wrong table cannot agree with itself.
    EXPECT_EQ(nlohmann::json({5, 4, 1, 3}), image["size"]);
    EXPECT_EQ(nlohmann::json({2, 3, 1, 1}), image["page_size"]);
    EXPECT_EQ("float", image["data_type"].get<std::string>());
    EXPECT_EQ("separate", image["order"].get<std::string>());
    EXPECT_EQ("left-upper", image["orientation"].get<std::string>());
    EXPECT_EQ("rgb", image["color_model"].get<std::string>());
    EXPECT_EQ("none", image["compression"].get<std::string>());
    EXPECT_TRUE(image["colormap"].is_null());
    EXPECT_TRUE(image["statistics"].is_null());
}

TEST_F(KelinfoFiles, TableShowsLabelledFields)
{
    writePatternImage(dir / "a.raw", 5, 4, 1);
    ToolResult r = runTool(KELINFO_PROGRAM, {dir / "a.raw#Raw%size=5,4,1,1%type=ushort"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(": Raw (")) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n    size +5 x 4 x 1 x 1\n"))) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n    data type +ushort\n"))) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\n    scale +0 \\.\\. 65535\n"))) << r.out;
    // The values start in one column.
    size_t size = r.out.find("5 x 4"), type = r.out.find("ushort", r.out.find("data type"));
    EXPECT_EQ(size - r.out.rfind('\n', size), type - r.out.rfind('\n', type));
}

TEST_F(KelinfoFiles, BadFilesFailWithOneLineEachAndTheRestIsStillDescribed)
{
    writePatternImage(dir / "a.raw", 5, 4, 1);
    std::string good = dir / "a.raw#Raw%size=5,4,1,1";
    std::string missing = dir / "missing.raw#Raw%size=5,4";
    std::string unknown = dir / "a.raw#NoSuchFormat";
    std::string badIndex = dir / "a.raw:3#Raw%size=5,4,1,1";
    ToolResult r = runTool(KELINFO_PROGRAM, {"--json", missing, good, unknown, badIndex});
    EXPECT_EQ(1, r.status);
    std::vector<std::string> lines = r.errLines();
    ASSERT_EQ(3u, lines.size()) << r.err;
    EXPECT_EQ(0u, lines[0].find("kelinfo: " + missing + ": ")) << lines[0];
    EXPECT_EQ(0u, lines[1].find("kelinfo: " + unknown + ": ")) << lines[1];
    EXPECT_EQ(0u, lines[2].find("kelinfo: " + badIndex + ": ")) << lines[2];
    nlohmann::json files = nlohmann::json::parse(r.out)["files"];
    ASSERT_EQ(4u, files.size());
    EXPECT_TRUE(files[0].contains("error"));
    EXPECT_EQ("Raw", files[1]["format"].get<std::string>());
    EXPECT_TRUE(files[2].contains("error"));
    EXPECT_TRUE(files[3].contains("error"));
}

TEST(KelinfoUsage, HelpAndUnknownOptions)
{
    ToolResult help = runTool(KELINFO_PROGRAM, {"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("Usage: kelinfo"));
    ToolResult bad = runTool(KELINFO_PROGRAM, {"--bogus"});
    EXPECT_EQ(2, bad.status);
}

TEST(KelinfoOutput, AnOutputThatCannotBeWrittenIsAFailure)
{
    std::string command = std::string("'") + KELINFO_PROGRAM + "' >/dev/full 2>/dev/null";
    int status = system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(1, WEXITSTATUS(status));
}

TEST(Kelsamples, WritesImagesThatOpenUnderThePrintedNames)
{
    ScratchDir dir;
    ToolResult r = runTool(KELSAMPLES_PROGRAM, {dir.path()});
    ASSERT_EQ(0, r.status) << r.err;
    std::vector<std::string> names;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        names.push_back(line);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names.size(), dir.entries().size());
    nlohmann::json files = runJson(names)["files"];
    bool sawFloat = false, sawShort = false;
    for (const nlohmann::json& f : files) {
        ASSERT_FALSE(f.contains("error")) << f.dump();
        sawFloat |= f["images"][0]["data_type"] == "float";
        sawShort |= f["images"][0]["data_type"] == "ushort";
    }
    EXPECT_TRUE(sawFloat && sawShort);
    // The gradient's red channel grows to the right from 0 to 255.
    kelSize size;
    std::vector<double> gradient = readPixels(names[0], size);
    ASSERT_EQ(3, size.c);
    EXPECT_EQ(0.0, gradient[0]);
    EXPECT_EQ(255.0, gradient[size_t(size.x - 1) * 3]);
}

} // namespace
