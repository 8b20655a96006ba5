#include "core/filesystem/filenotifymonitor/filenotifyrevicer/inotifyrecords.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>

#include <cstring>

namespace {

InotifyRecord R(uint32_t mask, const char* name, uint32_t cookie = 0) {
    InotifyRecord r;
    r.wd = 1;
    r.mask = mask;
    r.cookie = cookie;
    r.name = name;
    return r;
}

// "kind from>to;" per change, with the halves it has.
std::string Text(const std::vector<PairedChange>& changes) {
    static const char* const kKinds[] = {"plain", "renamed", "out", "in"};
    std::string out;
    for (const auto& c : changes) {
        const bool both = !c.from.name.empty() && !c.to.name.empty();
        out += std::string(kKinds[c.kind]) + " " + c.from.name + (both ? ">" : "") + c.to.name + ";";
    }
    return out;
}

}  // namespace

TEST(PairRenames, JoinsTheHalvesOfAMoveAcrossReads) {
    const uint32_t from = IN_MOVED_FROM, to = IN_MOVED_TO;
    struct Case {
        const char* what;
        std::vector<std::vector<InotifyRecord>> reads;  // an empty read flushes
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"one read", {{R(from, "a", 7), R(to, "b", 7)}}, "renamed a>b;"},
        {"split over two reads",
         {{R(IN_CREATE, "x"), R(from, "a", 7)}, {R(to, "b", 7), R(IN_DELETE, "y")}},
         "plain x;renamed a>b;plain y;"},
        {"second half never came", {{R(from, "a", 7)}, {}}, "out a;"},
        {"another record follows", {{R(from, "a", 7), R(IN_CREATE, "x")}}, "out a;plain x;"},
        {"cookies differ", {{R(from, "a", 7)}, {R(to, "b", 8)}}, "out a;in b;"},
        {"two moves, the first leaves",
         {{R(from, "a", 1), R(from, "b", 2)}, {R(to, "c", 2)}},
         "out a;renamed b>c;"},
        {"moved in from outside", {{R(to, "b", 3)}}, "in b;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<InotifyRecord> carry;
        std::string got;
        for (const auto& read : c.reads)
            got += Text(PairRenames(read, carry, read.empty()));
        EXPECT_EQ(got, c.expected);
    }
}

TEST(ParseInotifyBuffer, StopsAtARecordCutByTheBufferEnd) {
    std::string buffer;
    for (const char* name : {"first", "second.txt"}) {
        inotify_event e{};
        e.wd = 3;
        e.mask = IN_CREATE;
        e.len = 16;
        char padded[16] = {};
        std::strncpy(padded, name, sizeof(padded) - 1);
        buffer.append(reinterpret_cast<const char*>(&e), sizeof(e));
        buffer.append(padded, sizeof(padded));
    }
    auto whole = ParseInotifyBuffer(buffer.data(), buffer.size());
    ASSERT_EQ(whole.size(), 2u);
    EXPECT_EQ(whole[1].name, "second.txt");
    EXPECT_EQ(ParseInotifyBuffer(buffer.data(), buffer.size() - 1).size(), 1u);
}
