// The delivered database sources, and that generated text reads back into
// the same entries.
#include "keldbgenRun.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <kel/kelDatabase.h>

static const char* const deliveredFormats[] = {"Raw", "GIF", "BMP", "FIT", "XBM"};

static std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The clauses every delivered format has, in written form.
static std::string deliveredClauses(const std::string& name)
{
    std::string lower;
    for (char c : name)
        lower += char(tolower(static_cast<unsigned char>(c)));
    return "    dll\t\t\tlibkel" + name + "0.so\n    subsystem\t\t\"kel.sw.formats\"\n    suffixes\t\t." + lower + "\n";
}

static void expectDeliveredFormats(const std::string& text)
{
    for (const char* name : deliveredFormats) {
        size_t at = text.find(std::string("\nformat ") + name + "\n");
        ASSERT_NE(at, std::string::npos) << name << " in\n" << text;
        size_t end = text.find("\n\n", at + 1);
        std::string entryText = text.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
        EXPECT_NE(entryText.find("    description\t\t\""), std::string::npos) << entryText;
        EXPECT_NE(entryText.find(deliveredClauses(name)), std::string::npos) << entryText;
        // Creating files needs read-write access, which is written as no line.
        EXPECT_EQ(entryText.find("access"), std::string::npos) << entryText;
        EXPECT_EQ(entryText.find("match") == std::string::npos, std::string(name) == "Raw") << entryText;
    }
}

class KeldbgenDeliveredTest : public KeldbgenTest {
protected:
    void stageDeliveredSources()
    {
        for (const auto& f : std::filesystem::directory_iterator(std::string(KEL_TEST_SOURCE_DIR) + "/data"))
            if (f.path().extension() == ".db")
                writeSource(f.path().filename().string(), slurp(f.path().string()));
    }
    // Generates from the sources, then from that output alone as the old
    // database into a second file: the two must be the same text.
    void expectRoundTrip()
    {
        KeldbgenResult r = generate();
        ASSERT_EQ(r.status, 0);
        ASSERT_EQ(r.err, "");
        std::string first = output();
        std::filesystem::remove_all(root + KEL_DBSOURCE_DIR);
        std::filesystem::create_directories(root + KEL_DBSOURCE_DIR);
        r = run({"-r", root, "-o", root + "/second"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(readFile("/second"), first);
    }
};

TEST_F(KeldbgenDeliveredTest, SourcesGenerateAllFiveFormats)
{
    stageDeliveredSources();
    KeldbgenResult r = generate();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    expectDeliveredFormats(output());
}

TEST_F(KeldbgenDeliveredTest, BuildDatabaseHoldsAllFiveFormats)
{
    expectDeliveredFormats(slurp(KEL_TEST_DATABASE));
}

TEST_F(KeldbgenDeliveredTest, DeliveredDatabaseReadsBackUnchanged)
{
    stageDeliveredSources();
    expectRoundTrip();
}

TEST_F(KeldbgenDeliveredTest, EveryClauseReadsBackUnchanged)
{
    writeSource("a.db",
                "format AA\n"
                "    match uchar(0) == 1 && (char(1) != -2 || ushort(2) <= 0x1234) && short(4) >= 31 &&\n"
                "        uint(6) < 0xffffffff || int(10) > 32 && string(0,3) == \"a\\\"b\" ||\n"
                "        \"xy\" == string(14,2) && 0 == 0\n"
                "    description \"A \\\"quoted\\\" word\"\n"
                "    dll libkelAA0.so\n"
                "    access writeonly\n"
                "    subsystem kel.sw.aa\n"
                "    suffixes .aa, \".b b\", .cc\n"
                "format BB\n"
                "    access readonly\n"
                "    dso libother.so\n"
                "format CC\n");
    expectRoundTrip();
    EXPECT_NE(readFile("/second").find("\nformat CC\n"), std::string::npos);
}

// What the delivered match rules recognise, evaluated by the library.
static const struct {
    const char* bytes;
    size_t len;
    const char* format; // null: no rule matches
} signatures[] = {
    {"GIF89a\x01\x00", 8, "GIF"},
    {"GIF87a", 6, "GIF"},
    {"GIF09z", 6, "GIF"},
    {"GIF8aa", 6, nullptr},
    {"GIF89A", 6, nullptr},
    {"gif89a", 6, nullptr},
    {"GIF89", 5, nullptr},
    {"BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00", 14, "BMP"},
    {"MB\x36\x00", 4, nullptr},
    {"IT02", 4, "FIT"},
    {"IT03", 4, "FIT"},
    {"TI02", 4, nullptr},
    {"#define a_width 8\n", 18, "XBM"},
    {"/* XBM */\n", 10, "XBM"},
    {"#defin", 6, nullptr},
    {"// x\n", 5, nullptr},
    {"", 0, nullptr},
};

// Exits 0 when every signature finds the expected entry.
static void checkSignatures(const std::string& dir)
{
    setenv("KEL_DATABASE", KEL_TEST_DATABASE, 1);
    int failures = 0;
    for (const auto& s : signatures) {
        std::string path = dir + "/sample";
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(s.bytes, std::streamsize(s.len));
        int fd = open(path.c_str(), O_RDONLY);
        kelDatabase* db = kelDatabase::findByMagic(fd);
        close(fd);
        std::string got = db ? db->getName() : "(none)";
        if (got != (s.format ? s.format : "(none)")) {
            fprintf(stderr, "%.*s: found %s\n", int(s.len), s.bytes, got.c_str());
            failures++;
        }
    }
    exit(failures == 0 ? 0 : 1);
}

TEST_F(KeldbgenDeliveredTest, MatchRulesAcceptExactlyThePluginSignatures)
{
    EXPECT_EXIT(checkSignatures(root), ::testing::ExitedWithCode(0), "");
}
