#pragma once
// The demo accounts: "demo"/"demo" with folders, texts, pictures, a zip and a
// few recycled items, and "friend"/"friend" sharing a folder (write) and a
// file (read) with demo. Seeds only a store that has no "demo" account yet.
namespace devserver {

struct Service;
void SeedDemo(Service& service);

}  // namespace devserver
