#include "platform/namedobject.h"

#include "platform/strings.h"
#include "platform/xdgfolders.h"

std::string NamedObjectPath(const std::string& name, const char* suffix) {
    std::string folder = GetRuntimeFolder();
    if (folder.empty())
        return std::string();
    folder += "/Velmoran";
    if (!MakeDirectories(folder, 0700))
        return std::string();
    const std::string file = PercentEscape(name, [](unsigned char c) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '_' || c == '-' || c == '#';
        return !plain;
    });
    return folder + "/" + file + suffix;
}
