// The push long poll against the emulator holding it open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "remotestoragetestbase.h"

namespace pellux_test {
namespace {

using Clock = std::chrono::steady_clock;

class PushNotifyTest : public RemoteStorageTest {
protected:
    // Long enough that an answer within the test can only come from a change.
    EmulatorOptions Options() const override {
        EmulatorOptions options;
        options.holdMs = 20000;
        return options;
    }
    HRESULT Poll(XmlNode& reply, TransportProgressCallback progress = nullptr, void* context = nullptr) {
        auto record = Record<TaskData_PushNotify>(session.token);
        record->userId = Utf8ToWide(session.userId);
        return storage->PushNotify(record.get(), progress, context, &reply);
    }
};

HRESULT CancelWhenAsked(void* context, int64_t, int64_t, int64_t, int64_t, int64_t) {
    return static_cast<std::atomic<bool>*>(context)->load() ? E_FAIL : S_OK;
}

TEST_F(PushNotifyTest, HeldPollReturnsTheNewVersionsAfterAnotherClientsChange) {
    const EmulatorSession other = m_emulator.Login("demo", "demo");
    XmlNode first;
    ASSERT_EQ(Poll(first), S_OK);
    const std::wstring before = first.GetValue(L"opVer");
    ASSERT_FALSE(before.empty());

    XmlNode held;
    auto poll = std::async(std::launch::async, [&] { return Poll(held); });
    EXPECT_EQ(poll.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);

    // Another device of the same account makes a change.
    const std::string reply = m_emulator.CallOperation(
        "/xsvr/newFolder/", {{"token", other.token}, {"parentId", ""}, {"name", "From another device"}});
    ASSERT_EQ(Emulator::ReplyValue(reply, "result"), "ok");

    ASSERT_EQ(poll.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    ASSERT_EQ(poll.get(), S_OK);
    EXPECT_GT(std::stoll(WideToUtf8(held.GetValue(L"opVer"))), std::stoll(WideToUtf8(before)));
    EXPECT_EQ(held.GetValue(L"opVer"), Call("/xsvr/getMaxVers/", {}).GetValue(L"opVer"));
}

TEST_F(PushNotifyTest, CancelEndsAPendingPollWithinAboutASecond) {
    XmlNode first;
    ASSERT_EQ(Poll(first), S_OK);
    std::atomic<bool> stop{false};
    XmlNode held;
    auto poll = std::async(std::launch::async, [&] { return Poll(held, &CancelWhenAsked, &stop); });
    ASSERT_EQ(poll.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    const auto asked = Clock::now();
    stop = true;
    ASSERT_EQ(poll.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const auto took = Clock::now() - asked;
    EXPECT_EQ(poll.get(), E_CANCELLED);
    // The transport looks at the callback about once a second; allow for a busy machine.
    EXPECT_LT(took, std::chrono::milliseconds(4000));
}

}  // namespace
}  // namespace pellux_test
