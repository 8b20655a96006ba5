#include "ui/commandline.h"

#include "base/utility/stringutil.h"
#include "platform/strings.h"

bool HasSwitch(const std::vector<std::wstring>& args, const std::wstring& switchText, bool ignoreCase) {
    for (const std::wstring& arg : args) {
        if (CompareSwitch(arg, switchText, ignoreCase) == 0)
            return true;
    }
    return false;
}

std::vector<std::wstring> ArgumentList(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8ToWide(argv[i] ? argv[i] : ""));
    return args;
}
