#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/namedevent.h"
#include "platform/namedmutex.h"
#include "platform/namedobject.h"
#include "platform/tickcount.h"
#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

namespace {

// Each test uses names of its own, so leftovers of one cannot disturb another.
std::string UniqueName(const char* base) {
    static int counter = 0;
    return std::string(base) + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

}  // namespace

TEST(NamedObject, FilesLiveInTheRuntimeFolderWithSafeNames) {
    std::string path = NamedObjectPath("_#_LogFile_Z_MutxName_#_", ".mutex");
    EXPECT_EQ(path, pellux_test::TestHome() + "/runtime/Velmoran/_#_LogFile_Z_MutxName_#_.mutex");
    // A name cannot reach outside the folder.
    std::string odd = NamedObjectPath("../x/y", ".mutex");
    EXPECT_EQ(odd, pellux_test::TestHome() + "/runtime/Velmoran/%2E%2E%2Fx%2Fy.mutex");
}

TEST(NamedMutex, TwoProcessesExcludeEachOtherAndAKilledHolderReleasesIt) {
    const std::string name = UniqueName("_#_LogFile_Z_MutxName_#_");
    pellux_test::ChildProcess child([&name](pellux_test::ChildProcess& self) {
        CNamedMutex m(name);
        if (!m.Lock(2000))
            return false;
        self.Send('L');
        char c;
        self.Receive(&c);  // hold it until the parent has tried
        m.Unlock();
        self.Send('U');
        self.Receive(&c);
        return true;
    });
    char c;
    ASSERT_TRUE(child.Receive(&c));
    CNamedMutex mine(name);
    ASSERT_TRUE(mine.IsValid());
    EXPECT_FALSE(mine.Lock(100));
    child.Send('r');
    ASSERT_TRUE(child.Receive(&c));
    EXPECT_TRUE(mine.Lock(2000));
    // Now the child cannot have it.
    pellux_test::ChildProcess second(
        [&name](pellux_test::ChildProcess&) { return !CNamedMutex(name).Lock(50); });
    EXPECT_EQ(second.Wait(), 0);
    mine.Unlock();
    child.Send('x');
    EXPECT_EQ(child.Wait(), 0);
    // A holder that is killed releases it.
    pellux_test::ChildProcess killed([&name](pellux_test::ChildProcess& self) {
        CNamedMutex m(name);
        if (!m.Lock(2000))
            return false;
        self.Send('L');
        pause();
        return true;
    });
    ASSERT_TRUE(killed.Receive(&c));
    EXPECT_FALSE(mine.Lock(50));
    killed.Kill();
    killed.Wait();
    EXPECT_TRUE(mine.Lock(5000));
    mine.Unlock();
}

TEST(NamedMutex, OneObjectSharedByThreadsIsReentrantAndExclusive) {
    CNamedMutex m(UniqueName("threads"));
    ASSERT_TRUE(m.Lock());
    ASSERT_TRUE(m.Lock(0));  // the holding thread may enter again
    m.Unlock();
    std::atomic<int> result{-1};
    std::thread([&] { result = m.Lock(50) ? 1 : 0; }).join();
    EXPECT_EQ(result, 0);
    m.Unlock();
    std::thread([&] {
        result = m.Lock(1000) ? 1 : 0;
        if (result)
            m.Unlock();
    }).join();
    EXPECT_EQ(result, 1);
}

TEST(NamedMutex, CounterUnderTheMutexIsExactAcrossProcesses) {
    // Two processes add to a number in a file under the mutex; a lost update
    // shows as a smaller total.
    const std::string name = UniqueName("counter");
    const std::string file = pellux_test::MakeTempDir("mx") + "/n";
    ASSERT_TRUE(pellux_test::WriteFile(file, "0"));
    auto body = [&](pellux_test::ChildProcess&) {
        CNamedMutex m(name);
        for (int i = 0; i < 200; ++i) {
            if (!m.Lock(5000))
                return false;
            int n = std::stoi(pellux_test::ReadFile(file));
            pellux_test::WriteFile(file, std::to_string(n + 1));
            m.Unlock();
        }
        return true;
    };
    pellux_test::ChildProcess a(body), b(body);
    EXPECT_EQ(a.Wait(), 0);
    EXPECT_EQ(b.Wait(), 0);
    EXPECT_EQ(pellux_test::ReadFile(file), "400");
}

TEST(NamedEvent, SecondCreatorSeesTheFirstAndSignalsItAndTheEventEndsWithItsLastHandle) {
    const std::string name = UniqueName("Velmoran_Pellux_Process_Instance_Mutex");
    CNamedEvent first;
    EXPECT_FALSE(first.Open(name));
    bool existed = true;
    ASSERT_TRUE(first.Create(name, true, false, &existed));
    EXPECT_FALSE(existed);
    EXPECT_FALSE(first.Wait(0));
    pellux_test::ChildProcess second([&name](pellux_test::ChildProcess& self) {
        CNamedEvent ev;
        bool there = false;
        if (!ev.Create(name, true, false, &there) || !there || !ev.Set())
            return false;
        self.Send('s');
        pause();
        return true;
    });
    char c;
    ASSERT_TRUE(second.Receive(&c));
    // Manual reset: stays signalled until reset.
    EXPECT_TRUE(first.Wait(0));
    EXPECT_TRUE(first.Wait(0));
    ASSERT_TRUE(first.Reset());
    EXPECT_FALSE(first.Wait(0));
    first.Close();
    EXPECT_TRUE(first.Open(name));  // the child still holds it
    first.Close();
    // The last holder dies without closing: the event goes with it.
    second.Kill();
    second.Wait();
    ASSERT_TRUE(first.Create(name, true, false, &existed));
    EXPECT_FALSE(existed);
    EXPECT_FALSE(first.Wait(0));  // a new event starts unsignalled
    // An auto-reset event is consumed by one wait, through any handle.
    const std::string autoName = UniqueName("auto");
    CNamedEvent a, b;
    ASSERT_TRUE(a.Create(autoName, false, true));
    ASSERT_TRUE(b.Open(autoName));
    EXPECT_TRUE(b.Wait(0));
    EXPECT_FALSE(a.Wait(0));
    std::thread setter([&] {
        SleepMs(30);
        a.Set();
    });
    EXPECT_TRUE(b.Wait(2000));
    setter.join();
}
