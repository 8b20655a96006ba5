#include "core/filesystem/filesystem/fileopener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "platform/strings.h"

extern char** environ;

bool OpenWithDesktop(const std::wstring& localPath) {
    const std::string path = WideToUtf8(localPath);
    // "--" is not understood by xdg-open; a path starting with "-" is made
    // unambiguous instead.
    const std::string argument = !path.empty() && path[0] == '-' ? "./" + path : path;
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // xdg-open hands over and ends quickly; reap it so no zombie stays.
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
