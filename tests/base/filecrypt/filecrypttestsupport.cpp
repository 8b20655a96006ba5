#include "tests/base/filecrypt/filecrypttestsupport.h"

#include <dirent.h>

namespace filecrypttest {

std::vector<std::string> FileCryptTest::Entries() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder_.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool OpenSsl(const std::string& arguments) {
    std::string output;
    const int status = pellux_test::RunCommand("openssl " + arguments + " 2>&1", &output);
    if (status != 0)
        ADD_FAILURE() << "openssl " << arguments << ": " << output;
    return status == 0;
}

std::string OpenSslMd5(const std::string& path) {
    std::string output;
    if (pellux_test::RunCommand("openssl dgst -md5 -r '" + path + "'", &output) != 0)
        return "";
    return output.substr(0, 32);
}

}  // namespace filecrypttest
