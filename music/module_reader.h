#pragma once
// Reading XM and MOD module files into a Song.
//
// Two layers:
//  - The reading core (readModule, readXm, readMod, readModuleFile) never
//    shows anything and never ends the process: it fills the Song and returns
//    a LoadResult with the outcome and the messages, in order, that the
//    program shows for this file. Tests, fuzzers and tools call it.
//  - The program's entry points (loadModule, loadXm, loadMod) run the core,
//    show its messages through platform::messageBox, and end the process
//    (platform::fatalExit(1)) where the file cannot be opened or the song's
//    memory pool is exhausted.
//
// The song must have been initialised (a new Song is). A reader first clears
// the module part of the song; when reading fails the module part is cleared
// again, so a song into which nothing was loaded has no channels and plays
// silence (its pool blocks stay allocated until the song is destroyed).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace music {

class Song;

enum class LoadStatus {
    Loaded,        // read; messages may still hold warnings (PACKSIZE/FC, "failed", clamps)
    CannotOpen,    // fatal: "Kunde inte öppna file" with the path as caption
    UnknownType,   // "Unknown module type" / "unknown"; nothing loaded
    BadTag,        // MOD tag not recognised: tag / "ChanTag failure"; nothing loaded
    Broken,        // impossible sizes or counts, or a file cut short before its patterns end; nothing loaded
    PoolExhausted, // fatal: "list-outof\n" on standard output
    OutOfMemory,   // fatal: "overmem!\n" on standard output
};

struct LoadMessage {
    std::string caption;
    std::string text;
    bool operator==(const LoadMessage&) const = default;
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    // Message boxes to show, in order (including the box of a failure status).
    std::vector<LoadMessage> messages;
    // Text the program writes to standard output before ending (pool failures).
    std::string standardOutput;
    bool loaded() const { return status == LoadStatus::Loaded; }
    bool fatal() const
    {
        return status == LoadStatus::CannotOpen || status == LoadStatus::PoolExhausted ||
               status == LoadStatus::OutOfMemory;
    }
};

enum class ModuleKind { Xm, Mod, Unknown };

// "Extended Module: " at the start is XM; else "M.K.", "6CHN" or "8CHN" at
// offset 1080 is MOD; anything else (or a file too short) is unknown.
ModuleKind detectModuleKind(std::span<const std::uint8_t> file);

// Reading core on a file already in memory.
LoadResult readModule(Song& song, std::span<const std::uint8_t> file);
LoadResult readXm(Song& song, std::span<const std::uint8_t> file);
LoadResult readMod(Song& song, std::span<const std::uint8_t> file);
// Reads the whole file, then readModule. A file that cannot be opened (or
// read) gives CannotOpen.
LoadResult readModuleFile(Song& song, const std::string& path);

// Shows the result's messages through platform::messageBox and, for the fatal
// statuses, writes the standard-output text and ends the process with status
// 1. Returns whether the module was loaded.
bool reportLoadResult(const LoadResult& result);

// The program's entry points (see above). Return whether a module was loaded.
bool loadModule(Song& song, const std::string& path);
bool loadXm(Song& song, const std::string& path);
bool loadMod(Song& song, const std::string& path);

// The 48 periods of the MOD note table (index + 12 is the note).
extern const std::int16_t kModPeriods[48];

} // namespace music
