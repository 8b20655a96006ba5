#include "tests/base/filecrypt/filecrypttestsupport.h"

namespace filecrypttest {

bool OpenSsl(const std::string& arguments) {
    std::string output;
    const int status = pellux_test::RunCommand("openssl " + arguments + " 2>&1", &output);
    if (status != 0)
        ADD_FAILURE() << "openssl " << arguments << ": " << output;
    return status == 0;
}

bool OpenSslEcb(bool decrypt, const std::string& in, const std::string& out) {
    return OpenSsl(std::string("enc ") + (decrypt ? "-d " : "") + "-aes-256-ecb -nopad -K " +
                   ToHex(kKey, 32) + " -in '" + in + "' -out '" + out + "'");
}

std::string OpenSslMd5(const std::string& path) {
    std::string output;
    if (pellux_test::RunCommand("openssl dgst -md5 -r '" + path + "'", &output) != 0)
        return "";
    return output.substr(0, 32);
}

}  // namespace filecrypttest
