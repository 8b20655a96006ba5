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
    for (const auto& r : batch) {
        const bool movedTo = (r.mask & IN_MOVED_TO) != 0;
        if (carry && !(movedTo && r.cookie == carry->cookie)) {
            PairedChange c;
            c.kind = PairedChange::kMovedOut;
            c.from = *carry;
            out.push_back(std::move(c));
            carry.reset();
        }
        PairedChange c;
        if (r.mask & IN_MOVED_FROM) {
            carry = r;
            continue;
        }
        if (movedTo && carry) {
            c.kind = PairedChange::kRenamed;
            c.from = *carry;
            c.to = r;
            carry.reset();
        } else if (movedTo) {
            c.kind = PairedChange::kMovedIn;
            c.to = r;
        } else {
            c.from = r;
        }
        out.push_back(std::move(c));
    }
    if (flush && carry) {
        PairedChange c;
        c.kind = PairedChange::kMovedOut;
        c.from = *carry;
        out.push_back(std::move(c));
        carry.reset();
    }
    return out;
}
