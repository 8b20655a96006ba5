/* Linked into every program through pellux_stamp_version: the program's own
   version, read back by ReadVersionNote (platform/versionnote.h). */
#include <stdint.h>

struct PelluxVersionNote {
    uint32_t nameSize;
    uint32_t descSize;
    uint32_t type;
    char name[8];
    uint16_t parts[4];
};

__attribute__((section(".note.pellux.version"), used,
               aligned(4))) static const struct PelluxVersionNote kPelluxVersionNote = {
    7,
    8,
    1,
    "Pellux",
    {PELLUX_VERSION_MAJOR, PELLUX_VERSION_MINOR, PELLUX_VERSION_PATCH, PELLUX_VERSION_TWEAK}};
