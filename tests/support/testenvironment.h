#pragma once
// Every test process runs in a fresh temporary home: HOME, the XDG folders and
// the registry store point below it, so no test touches the real user's files.
#include <set>
#include <string>

namespace pellux_test {

// Creates the temporary home and sets the environment; called by the test mains.
void SetUpTestHome();
// The temporary home of this process ("/tmp/pellux-test-XXXXXX").
const std::string& TestHome();
// A new empty folder below the temporary home.
std::string MakeTempDir(const std::string& prefix = "t");
// The build tree (for helper programs).
std::string BinaryDir();
// Writes bytes to a file, creating or truncating it; returns false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// The names in a folder but "." and ".."; empty when it cannot be read.
std::set<std::string> ListFolder(const std::string& path);
// Runs a shell command; returns its exit status (-1 when it could not run).
int RunCommand(const std::string& command, std::string* output = nullptr);
// True when the program is found on PATH.
bool HaveProgram(const std::string& name);

}  // namespace pellux_test
