#pragma once
// The kernel's change records and how a rename's two halves are joined, kept
// apart from the watcher's thread so the pairing can be checked on its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct InotifyRecord {
    int wd = -1;
    uint32_t mask = 0;
    uint32_t cookie = 0;
    std::string name;  // empty for events on the watched folder itself
};

// Walks the records of one read. A record that runs past the end of the
// buffer ends the walk; names lose the kernel's NUL padding.
std::vector<InotifyRecord> ParseInotifyBuffer(const char* data, size_t size);

struct PairedChange {
    enum Kind {
        kPlain,     // any record that is not half of a move
        kRenamed,   // from and to: both halves of one move
        kMovedOut,  // from only: its other half never came (left the watched folders)
        kMovedIn,   // to only: it came from outside the watched folders
    };
    Kind kind = kPlain;
    InotifyRecord from;  // kPlain, kRenamed and kMovedOut
    InotifyRecord to;    // kRenamed and kMovedIn
};

// Joins IN_MOVED_FROM with the IN_MOVED_TO of the same cookie. A move's halves
// follow each other in the queue but may straddle two reads, so a
// IN_MOVED_FROM that ends the batch is kept in carry for the next batch;
// flush gives it up as moved out (no more records came in time).
std::vector<PairedChange> PairRenames(const std::vector<InotifyRecord>& batch,
                                      std::optional<InotifyRecord>& carry, bool flush);
