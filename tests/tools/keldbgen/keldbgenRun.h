// A scratch root for keldbgen runs: sources, the old generated database and
// the outputs all live below it.
#ifndef KELDBGEN_RUN_H
#define KELDBGEN_RUN_H

#include <time.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

struct KeldbgenResult {
    int status; // exit status, or -1 when the program did not exit normally
    std::string err;
};

class KeldbgenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A file below the root; `path` starts with "/".
    void writeFile(const std::string& path, const std::string& text);
    void setModTime(const std::string& path, time_t t);
    std::string readFile(const std::string& path) const;
    bool exists(const std::string& path) const;

    // A source file in the source directory with the given modification time.
    void writeSource(const std::string& name, const std::string& text, time_t t = 1000000000);
    std::string sourceName(const std::string& name) const { return std::string(KEL_DBSOURCE_DIR) + name; }

    // keldbgen with the given arguments, or with "-r root" alone.
    KeldbgenResult run(const std::vector<std::string>& args) const;
    KeldbgenResult generate() const { return run({"-r", root}); }

    // The default output below the root, which is also the old database.
    std::string output() const { return readFile(KEL_DBGEN_OUTPUT); }
    // The output without its banner.
    std::string entriesText() const;

    std::string root;
};

#endif
