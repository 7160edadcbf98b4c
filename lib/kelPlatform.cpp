#include "kelPlatform.h"

#include <dlfcn.h>
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#ifndef KEL_SYSTEM_DIR
#error "KEL_SYSTEM_DIR must name the directory of the default database"
#endif

void kelPlatformDebugOutput(const char* text)
{
    size_t len = strlen(text);
    while (len > 0) {
        ssize_t n = write(STDERR_FILENO, text, len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        len -= size_t(n);
    }
}

const char* kelPlatformSystemDirectory()
{
    return KEL_SYSTEM_DIR;
}

static std::string coreLibraryDirectory()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&coreLibraryDirectory), &info) || !info.dli_fname)
        return std::string();
    std::string path(info.dli_fname);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// RTLD_LOCAL: nothing looks a plug-in's symbols up (its static constructors
// register its format), and local names keep one plug-in, or the codec
// library it brings, from binding the symbols of another.
void* kelPlatformLoadLibrary(const char* name)
{
    void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (handle || strchr(name, '/'))
        return handle;
    std::vector<std::string> dirs{kelPlatformSystemDirectory()};
    const std::string core = coreLibraryDirectory();
    if (!core.empty()) {
        dirs.push_back(core);
        // The plug-ins' own directory beside the core keeps an installed
        // tree working after it has been moved elsewhere.
        dirs.push_back(core + "/kel");
    }
    for (const std::string& dir : dirs)
        if ((handle = dlopen((dir + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL)))
            return handle;
    return nullptr;
}
