#pragma once
// The local service emulator (pellux-devserver) as a child process on a free
// port with its test hooks: the request log, scripted faults and reset. Tests
// point the client at it through the config.ini this fixture writes.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace pellux_test {

using EmulatorFields = std::vector<std::pair<std::string, std::string>>;

// One part of a multipart body as the emulator received it.
struct EmulatorPart {
    std::string name, filename;
    std::string content;  // the emulator keeps the first MiB
    size_t size = 0;
};

// One request as the emulator received it.
struct EmulatorRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string path;
    EmulatorFields headers;
    std::string body;  // empty for a multipart body: see parts
    size_t bodySize = 0;
    std::vector<EmulatorPart> parts;  // in the order sent
    // The first header of that name (case-insensitive); "" when absent.
    std::string Header(const std::string& name) const;
    // The first part of that name; null when absent.
    const EmulatorPart* Part(const std::string& name) const;
};

struct EmulatorOptions {
    bool demo = true;
    // How long a push poll is held without a change.
    int holdMs = 1500;
    // A zip the update service offers (empty: no update).
    std::string updateOffer;
};

// A logged-in account, as the service's log-in reply gives it.
struct EmulatorSession {
    std::string userId, token;
};

class Emulator {
public:
    Emulator() = default;
    ~Emulator() { Stop(); }
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Starts the program and waits for its address line.
    bool Start(const EmulatorOptions& options, std::string* error);
    // Ends the child (SIGTERM, then SIGKILL after a few seconds).
    void Stop();

    // Talks to an emulator the test hosts in its own process instead.
    void Attach(int port) { m_port = port; }

    int Port() const { return m_port; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // Test hooks.
    std::vector<EmulatorRequest> RequestLog() const;
    // The logged requests whose path is this one.
    std::vector<EmulatorRequest> RequestsTo(const std::string& path) const;
    bool ClearLog() const { return HookPost("/_emu/log/clear"); }
    // query as the hook takes it, e.g. "path=/xsvr/dir/&result=serverBusy&count=1".
    bool AddFault(const std::string& query) const { return HookPost("/_emu/fault?" + query); }
    // Log, faults and the store back to the seeded state.
    bool Reset() const { return HookPost("/_emu/reset"); }

    // Plain HTTP, independent of the client's code.
    // POSTs a request document built from the fields with "v" and "User-Agent:pellux".
    std::string CallOperation(const std::string& path, const EmulatorFields& fields,
                              const std::string& version = "2") const;
    EmulatorSession Login(const std::string& user, const std::string& password) const;
    // A root value of a reply document; "" when absent or not XML.
    static std::string ReplyValue(const std::string& reply, const std::string& key);
    // A value of the listed item with that name; "" when there is none.
    static std::string ItemValue(const std::string& reply, const std::string& name, const std::string& key);

private:
    bool HookPost(const std::string& target) const;

    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_dataDir;
};

// The client's config.ini with every root on the emulator and no speed caps.
std::string ClientConfigIni(const std::string& address);

// Starts the emulator for each test and writes the client's config.ini into
// ConfigFolder(); the test points the settings at that folder.
class EmulatorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { m_emulator.Stop(); }
    virtual EmulatorOptions Options() const { return EmulatorOptions(); }
    const std::string& ConfigFolder() const { return m_configFolder; }
    // Rewrites config.ini with the given text.
    void WriteConfig(const std::string& text) const;

    Emulator m_emulator;
    std::string m_configFolder;
};

}  // namespace pellux_test
