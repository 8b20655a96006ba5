#pragma once
// Small zip archives built in a temporary file: preview packages, the demo zip.
#include <string>
#include <utility>
#include <vector>

namespace devserver {

class Store;

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, contents

bool BuildZip(const Store& store, const ZipEntries& entries, std::string* bytes);

}  // namespace devserver
