#pragma once
// Pieces shared by the XM and MOD readers.
#include "music/module_reader.h"
#include "music/song_types.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace music {

class Song;

// Captions of the messages this system adds to the ones of the file format.
inline constexpr const char* kBrokenCaption = "Broken module";
inline constexpr const char* kWarningCaption = "Module warning";

// Takes n bytes from the song's pool. On failure records the fatal status
// and its standard-output text ("list-outof\n" or "overmem!\n") in result
// and returns null.
std::uint8_t* allocateFromPool(Song& song, std::size_t n, LoadResult& result);

// Records a Broken status with its message; returns false for convenience.
bool reportBroken(LoadResult& result, const std::string& text);
// Records a non-fatal message.
void reportWarning(LoadResult& result, const std::string& text);

// Boxes the file format shows once per cell or per pattern. A hostile file can
// hold a hundred thousand such cells, and each box waits for the user: the
// first occurrence is shown, later ones are only counted, and finish() adds
// one box that tells how many were left out.
class RepeatedBoxes {
public:
    // `what` completes "<count> more ...", e.g. "cells hold periods outside the note table".
    explicit RepeatedBoxes(std::string what) : what_(std::move(what)) {}
    // Records the boxes of one occurrence: shown the first time, counted after.
    void add(LoadResult& result, std::initializer_list<LoadMessage> boxes);
    // After the last occurrence: the count box when any were left out.
    void finish(LoadResult& result) const;

private:
    std::string what_;
    long count_ = 0;
};

// Computes the pattern's row offsets and, when the walk does not end at the
// stored packed size, records the two boxes through `repeats`: stored size /
// "PACKSIZE", walked size / "FC".
void checkPackedSize(Pattern& pattern, LoadResult& result, RepeatedBoxes& repeats);

// Undoes XM delta coding in place: an accumulator starting at 0 adds each
// signed value and stores the low 8 (or 16) bits back.
void undoDelta(std::uint8_t* data, std::int32_t frames, std::int32_t bits);

// Keeps a looping sample's loop inside its data so the mixer's loop events
// are always reachable: loop type 3 plays as ping-pong, a loop end past the
// length is brought to the length, a loop that is empty or starts at or past
// the end is switched off, and a ping-pong loop shorter than 2 frames plays
// as a forward loop. Samples without a loop keep their fields as read.
void sanitiseLoop(Sample& sample);

} // namespace music
