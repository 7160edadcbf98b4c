#include "keldbgenRun.h"

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

void KeldbgenTest::SetUp()
{
    char tmpl[] = "/tmp/keldbgen_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    std::filesystem::create_directories(root + KEL_DBSOURCE_DIR);
    std::filesystem::create_directories(std::filesystem::path(root + KEL_DBGEN_OUTPUT).parent_path());
}

void KeldbgenTest::TearDown()
{
    std::filesystem::remove_all(root);
}

void KeldbgenTest::writeFile(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(root + path).parent_path());
    std::ofstream out(root + path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

void KeldbgenTest::setModTime(const std::string& path, time_t t)
{
    struct timeval tv[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(utimes((root + path).c_str(), tv), 0) << path;
}

std::string KeldbgenTest::readFile(const std::string& path) const
{
    std::ifstream in(root + path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool KeldbgenTest::exists(const std::string& path) const
{
    return std::filesystem::exists(root + path);
}

void KeldbgenTest::writeSource(const std::string& name, const std::string& text, time_t t)
{
    writeFile(sourceName(name), text);
    setModTime(sourceName(name), t);
}

static std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

KeldbgenResult KeldbgenTest::run(const std::vector<std::string>& args) const
{
    std::string errPath = root + "/.stderr";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(KELDBGEN_PATH));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        int nul = open("/dev/null", O_WRONLY);
        dup2(nul, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    KeldbgenResult r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(errPath)};
    unlink(errPath.c_str());
    return r;
}

std::string KeldbgenTest::entriesText() const
{
    std::string out = output();
    size_t pos = out.find("! formats to this file.");
    return pos == std::string::npos ? out : out.substr(pos + strlen("! formats to this file."));
}
