#include "music/pattern_packing.h"

#include <algorithm>

namespace music {

std::size_t computeRowOffsets(Pattern& pattern)
{
    pattern.rowOffsets.fill(nullptr);
    const std::size_t size = pattern.packedSize;
    if (size == 0 || !pattern.data)
        return 0;
    const int rows = std::clamp<int>(pattern.rows, 0, kMaxRows);
    const int channels = std::clamp<int>(pattern.channels, 0, kMaxChannels);
    std::size_t pos = 0;
    for (int r = 0; r < rows; ++r) {
        if (pos < size)
            pattern.rowOffsets[static_cast<std::size_t>(r)] = pattern.data + pos;
        for (int c = 0; c < channels; ++c) {
            const std::uint8_t b = pos < size ? pattern.data[pos] : 0;
            pos += packedCellSize(b);
        }
    }
    return pos;
}

void unpackRow(const Pattern* pattern, int row, int channels, RowCell* cells)
{
    for (int c = 0; c < kMaxChannels; ++c)
        cells[c] = RowCell{};
    if (!pattern || row < 0 || row >= kMaxRows)
        return;
    const std::uint8_t* p = pattern->rowOffsets[static_cast<std::size_t>(row)];
    if (!p)
        return;
    // A row starts inside the data; 32 cells of at most 5 bytes stay inside
    // the 1024 zero bytes that follow every pool block.
    channels = std::clamp(channels, 0, kMaxChannels);
    for (int c = 0; c < channels; ++c) {
        RowCell& cell = cells[c];
        const std::uint8_t b = *p++;
        if (b & 0x80) {
            if (b & 0x01) cell.note = *p++;
            if (b & 0x02) cell.instrument = *p++;
            if (b & 0x04) cell.volumeColumn = *p++;
            if (b & 0x08) cell.effect = *p++;
            if (b & 0x10) cell.parameter = *p++;
        } else {
            cell.note = b;
            cell.instrument = *p++;
            cell.volumeColumn = *p++;
            cell.effect = *p++;
            cell.parameter = *p++;
        }
        cell.note &= 0x7F;
    }
}

} // namespace music
