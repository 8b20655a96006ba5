#pragma once
// Starts the emulator in this process on a free port and talks to it with a
// plain HTTP client, building request documents byte for byte as the client
// does and reading replies with TinyXML.
#include <gtest/gtest.h>
#include <httplib.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devserver/devserver.h"

namespace devserver_test {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct ReplyItem {
    std::map<std::string, std::string> values;
    std::vector<std::map<std::string, std::string>> sharers;
    std::string operator[](const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
};

struct Reply {
    int status = 0;
    std::string body;
    bool parsed = false;
    std::map<std::string, std::string> values;
    std::vector<ReplyItem> items;
    std::string result() const { return Get("result"); }
    std::string Get(const std::string& key) const {
        auto it = values.find(key);
        return it == values.end() ? std::string() : it->second;
    }
    // The listed item with this name; fails the test when there is none.
    ReplyItem Named(const std::string& name) const;
    bool HasNamed(const std::string& name) const;
};

// The request document exactly as the client writes it.
std::string RequestDocument(const Fields& fields);
Reply ParseReply(int status, const std::string& body);

class EmulatorTest : public ::testing::Test {
protected:
    void SetUp() override { StartServer(true, 300); }
    void TearDown() override { StopServer(); }

    void StartServer(bool demo, int holdMs);
    void StopServer();

    std::unique_ptr<httplib::Client> NewClient() const;
    // POSTs a request document to an operation path with the client's headers.
    Reply Call(const std::string& path, const Fields& fields, const std::string& version = "2");
    // Same with the token of the given session first.
    Reply Op(const std::string& token, const std::string& path, Fields fields,
             const std::string& version = "2");
    Reply Get(const std::string& target);
    // Logs in and returns the token (fails the test on error).
    std::string Login(const std::string& user, const std::string& password);
    int64_t OpVer(const std::string& token);
    int64_t ShareVer(const std::string& token);
    // Creates a folder or file entry and returns its id.
    std::string NewFolder(const std::string& token, const std::string& parent, const std::string& name);
    std::string NewFile(const std::string& token, const std::string& parent, const std::string& name);
    // Runs requestUpload + the multipart POST; returns the upload reply (its "result" tells).
    Reply Upload(const std::string& token, const std::string& fileId, int64_t baseVer,
                 const std::string& plain, const std::string& blob);
    // Runs requestDownload + the content GET; returns the bytes (status in *status).
    std::string Download(const std::string& token, const std::string& fileId, Reply* request = nullptr,
                         int* status = nullptr);
    // Adds a scripted fault through the test hooks.
    void Fault(const std::string& query);

    std::unique_ptr<devserver::DevServer> m_server;
    int m_port = 0;
};

std::string Sha1Of(const std::string& bytes);

}  // namespace devserver_test
