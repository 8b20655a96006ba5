#include "platform/namedobject.h"

#include "platform/xdgfolders.h"

std::string NamedObjectPath(const std::string& name, const char* suffix) {
    std::string folder = GetRuntimeFolder();
    if (folder.empty())
        return std::string();
    folder += "/Velmoran";
    if (!MakeDirectories(folder, 0700))
        return std::string();
    static const char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                     c == '-' || c == '#';
        if (plain) {
            file.push_back(ch);
        } else {
            file.push_back('%');
            file.push_back(kHex[c >> 4]);
            file.push_back(kHex[c & 15]);
        }
    }
    return folder + "/" + file + suffix;
}
