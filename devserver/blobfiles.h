#pragma once
// Stored blobs: files named by random ids below the store's blob folder.
#include <string>
#include <vector>

#include "devserver/store.h"

namespace devserver {

// Writes bytes as a new blob; returns its name (empty on failure).
std::string WriteBlob(const Store& store, const std::string& bytes);
bool ReadBlob(const Store& store, const std::string& name, std::string* bytes);
std::string BlobPath(const Store& store, const std::string& name);
void RemoveBlobs(const Store& store, const std::vector<std::string>& names);

}  // namespace devserver
