#include "core/filesystem/filenotifymonitor/filenotifyrevicer/inotifyrecords.h"

#include <sys/inotify.h>

#include <cstring>

std::vector<InotifyRecord> ParseInotifyBuffer(const char* data, size_t size) {
    std::vector<InotifyRecord> records;
    size_t pos = 0;
    while (size - pos >= sizeof(inotify_event)) {
        inotify_event head;
        std::memcpy(&head, data + pos, sizeof(head));
        size_t total = sizeof(inotify_event) + head.len;
        if (total > size - pos)
            break;
        InotifyRecord r;
        r.wd = head.wd;
        r.mask = head.mask;
        r.cookie = head.cookie;
        const char* name = data + pos + sizeof(inotify_event);
        r.name.assign(name, strnlen(name, head.len));
        records.push_back(std::move(r));
        pos += total;
    }
    return records;
}

std::vector<PairedChange> PairRenames(const std::vector<InotifyRecord>& batch,
                                      std::optional<InotifyRecord>& carry, bool flush) {
    std::vector<PairedChange> out;
    auto add = [&out](PairedChange::Kind kind, const InotifyRecord* from, const InotifyRecord* to) {
        PairedChange c;
        c.kind = kind;
        if (from)
            c.from = *from;
        if (to)
            c.to = *to;
        out.push_back(std::move(c));
    };
    for (const auto& r : batch) {
        const bool movedTo = (r.mask & IN_MOVED_TO) != 0;
        if (carry && !(movedTo && r.cookie == carry->cookie)) {
            add(PairedChange::kMovedOut, &*carry, nullptr);
            carry.reset();
        }
        if (r.mask & IN_MOVED_FROM) {
            carry = r;
        } else if (movedTo && carry) {
            add(PairedChange::kRenamed, &*carry, &r);
            carry.reset();
        } else if (movedTo) {
            add(PairedChange::kMovedIn, nullptr, &r);
        } else {
            add(PairedChange::kPlain, &r, nullptr);
        }
    }
    if (flush && carry) {
        add(PairedChange::kMovedOut, &*carry, nullptr);
        carry.reset();
    }
    return out;
}
