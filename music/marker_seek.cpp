#include "music/marker_seek.h"

#include "music/pattern_packing.h"

#include <algorithm>

namespace music {

namespace {

constexpr std::uint8_t syncEffect = 32; // W

} // namespace

MarkerPlace findMarker(const Song& song, int value)
{
    const int channels = std::clamp<int>(song.numChannels, 0, kMaxChannels);
    const int length = std::clamp<int>(song.songLength, 0, kOrderTableSize);
    std::array<RowCell, kMaxChannels> cells{};
    for (int position = 0; position < length; ++position) {
        const Pattern& pattern = song.patterns[song.orderTable[static_cast<std::size_t>(position)]];
        const int rows = std::clamp<int>(pattern.rows, 0, kMaxRows);
        for (int row = 0; row < rows; ++row) {
            unpackRow(&pattern, row, channels, cells.data());
            for (int c = 0; c < channels; ++c) {
                const RowCell& cell = cells[static_cast<std::size_t>(c)];
                if (cell.effect == syncEffect && cell.parameter == value)
                    return {position, row};
            }
        }
    }
    return {};
}

bool seekToMarker(Song& song, int value)
{
    const MarkerPlace place = findMarker(song, value);
    if (place.orderPosition < 0)
        return false;
    song.setOrderPosition(place.orderPosition);
    song.nextRow = static_cast<std::int16_t>(place.row);
    return true;
}

} // namespace music
