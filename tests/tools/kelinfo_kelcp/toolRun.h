// Running the tools as child processes in a scratch directory.
#ifndef KEL_TEST_TOOLRUN_H
#define KEL_TEST_TOOLRUN_H

#include <string>
#include <vector>

struct ToolResult {
    int status;  // exit status; 128 + signal number when killed
    std::string out;
    std::string err;
    std::vector<std::string> errLines() const;
};

// `env` holds NAME=VALUE settings made in the child only.
ToolResult runTool(const char* program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env = {});

// A fresh directory, removed with its contents at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return dir; }
    std::string operator/(const std::string& name) const { return dir + "/" + name; }
    // The names of the entries, sorted, without "." and "..".
    std::vector<std::string> entries() const;

private:
    std::string dir;
};

std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

#endif
