#pragma once
// Packed pattern cells: locating rows and unpacking one row into cells.
//
// A cell starts with a byte b. If bit 7 of b is set, b is a flag byte and the
// fields follow only for its set bits, in this order: bit 0 note, bit 1
// instrument, bit 2 volume column, bit 3 effect, bit 4 parameter (missing
// fields are 0). Otherwise b is the note and the four other fields follow
// (five bytes in all). A row is the cells of all channels, one after another.
#include "music/song_types.h"

#include <cstddef>
#include <cstdint>

namespace music {

// Bytes taken by the cell that starts with byte b.
inline std::size_t packedCellSize(std::uint8_t b)
{
    if (!(b & 0x80))
        return 5;
    return 1u + (b & 1) + ((b >> 1) & 1) + ((b >> 2) & 1) + ((b >> 3) & 1) + ((b >> 4) & 1);
}

// Clears all 256 row offsets; when the packed size is not 0, walks the data
// from its start, recording each of the pattern's rows and stepping over one
// cell per channel. Returns the walked size (the offset where the walk ended),
// which a well-formed pattern has equal to its packed size.
//
// Bytes past the packed size are taken as 0 (a five-byte cell), exactly what
// the zero tail of the pool block holds, so a short pattern walks the same as
// far as the tail reaches and never reads beyond its data. A row that starts
// at or past the end of the data keeps a null offset and plays as empty cells.
std::size_t computeRowOffsets(Pattern& pattern);

// Unpacks row `row` of the pattern into cells[0..31]: every cell is cleared,
// then `channels` cells (at most 32) are decoded when the row has data. The
// note keeps its low 7 bits. A null pattern, a row past 255 or a null row
// offset gives empty cells. Reads never go beyond the block's zero tail.
void unpackRow(const Pattern* pattern, int row, int channels, RowCell* cells);

} // namespace music
