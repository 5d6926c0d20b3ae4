#pragma once
// Finding a synchronisation marker in a loaded module, to start playing from it.
#include "music/song.h"

namespace music {

struct MarkerPlace {
    int orderPosition = -1; // -1: the module has no such marker
    int row = 0;
};

// The first row, walking the order table from position 0 and each pattern
// from row 0, whose cells carry effect W with parameter `value`.
MarkerPlace findMarker(const Song& song, int value);

// Moves a started song to the row of the first marker `value`, so that the
// next row read is that row. Returns false (the song untouched) when the
// module has no such marker.
bool seekToMarker(Song& song, int value);

} // namespace music
