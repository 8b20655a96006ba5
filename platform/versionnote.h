#pragma once
// The program version carried by an ELF file: a note named "Pellux" of type 1
// in the section ".note.pellux.version", whose descriptor holds four 16-bit
// parts (major, minor, build, revision) in the file's byte order. The build
// links it into programs through pellux_stamp_version (cmake/Pellux.cmake).
#include <cstdint>
#include <string>

constexpr char kVersionNoteSection[] = ".note.pellux.version";
constexpr char kVersionNoteName[] = "Pellux";
constexpr uint32_t kVersionNoteType = 1;

// Reads the version note of the ELF file (32 or 64 bits, either byte order).
// False when the file cannot be read, is not ELF or carries no such note;
// parts is written only on success.
bool ReadVersionNote(const std::string& path, uint16_t parts[4]);

// The bytes of a version note section, for stamping files with
// objcopy --add-section.
std::string BuildVersionNote(const uint16_t parts[4], bool bigEndian = false);

// The running program's own file (/proc/self/exe resolved); empty if unknown.
std::string GetRunningProgramPath();
