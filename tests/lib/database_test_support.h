// Shared helpers of the format database tests: database files in a
// temporary directory, and checks inside the child processes that load them.
#ifndef KEL_DATABASE_TEST_SUPPORT_H
#define KEL_DATABASE_TEST_SUPPORT_H

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <kel/kelDatabase.h>
#include <kel/kelError.h>

#include "kelFormatDB.h"

// Inside a child process: a failed check prints its text and ends the child
// with status 3, which the parent's exit-status check reports.
#define CHILD_CHECK(cond)                                                                      \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            fprintf(stderr, "CHILD CHECK FAILED at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            fflush(stderr);                                                                    \
            exit(3);                                                                           \
        }                                                                                      \
    } while (0)

// Prints every message in full as "<label>: <message>" and never ends the
// process, so that a scenario can go on after errors.
inline void kelTestPrintingHandler(void*, int flags, const char* fmt, va_list args)
{
    static const char* const labels[] = {"Error", "Fatal error", "Warning", "Info"};
    int severity = flags & 0xff;
    fprintf(stderr, "%s: ", severity < 4 ? labels[severity] : "(unrecognized severity)");
    vfprintf(stderr, fmt, args);
    fputc('\n', stderr);
    fflush(stderr);
}

// Points the (child) process at a database file and installs the printing
// handler; the database itself is read by the first lookup.
inline void kelTestUseDatabase(const std::string& path)
{
    setenv("KEL_DATABASE", path.c_str(), 1);
    kelSetErrorHandler(kelTestPrintingHandler, nullptr);
}

// Directories still to be removed when the process ends: a death-test
// child ends inside its test, before the fixture could tidy up.
inline std::vector<std::string>& kelTestDirectories()
{
    static std::vector<std::string>* dirs = new std::vector<std::string>;
    return *dirs;
}

inline void kelTestRemoveDirectories()
{
    std::error_code ec;
    for (const std::string& d : kelTestDirectories())
        std::filesystem::remove_all(d, ec);
    kelTestDirectories().clear();
}

// A fresh directory for the files of one test, removed with everything in
// it. Death tests re-execute the program, so that every child starts with
// no database loaded, whatever earlier tests of the program have loaded.
class DatabaseFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedStyle = GTEST_FLAG_GET(death_test_style);
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        char tmpl[] = "/tmp/kel_dbtest_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        static const bool cleanupRegistered = atexit(kelTestRemoveDirectories) == 0;
        (void)cleanupRegistered;
        kelTestDirectories().push_back(dir);
    }
    void TearDown() override
    {
        kelTestRemoveDirectories();
        GTEST_FLAG_SET(death_test_style, savedStyle);
    }

    // Writes `text` byte for byte to `name` in the directory; returns the path.
    std::string write(const std::string& name, const std::string& text)
    {
        std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        return path;
    }

    std::string dir;
    std::string savedStyle;
};

inline kelFormatDB* kelTestEntry(const char* name)
{
    return static_cast<kelFormatDB*>(kelDatabase::findByFormatName(name));
}

#endif
