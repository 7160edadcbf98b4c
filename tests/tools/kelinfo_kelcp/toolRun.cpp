#include "toolRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::vector<std::string> ToolResult::errLines() const
{
    std::vector<std::string> lines;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

static std::string outputFile(const char* what)
{
    char name[] = "/tmp/kel-tool-output-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error(std::string("cannot make a file for the tool's ") + what);
    close(fd);
    return name;
}

ToolResult runTool(const char* program, const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    std::string outPath = outputFile("output"), errPath = outputFile("errors");
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_TRUNC);
        int err = open(errPath.c_str(), O_WRONLY | O_TRUNC);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        for (const std::string& setting : env)
            putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    ToolResult result{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus), readFile(outPath),
                      readFile(errPath)};
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return result;
}

ScratchDir::ScratchDir()
{
    char name[] = "/tmp/kel-tools-test-XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("cannot make a scratch directory");
    dir = name;
}

std::vector<std::string> ScratchDir::entries() const
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScratchDir::~ScratchDir()
{
    for (const std::string& name : entries())
        unlink((dir + "/" + name).c_str());
    rmdir(dir.c_str());
}
