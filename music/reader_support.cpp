#include "music/reader_support.h"

#include "music/pattern_packing.h"
#include "music/song.h"

#include <algorithm>

namespace music {

std::uint8_t* allocateFromPool(Song& song, std::size_t n, LoadResult& result)
{
    std::uint8_t* block = song.pool.allocate(n);
    if (block)
        return block;
    if (song.pool.failure() == BlockPool::Failure::Exhausted) {
        result.status = LoadStatus::PoolExhausted;
        result.standardOutput = "list-outof\n";
    } else {
        result.status = LoadStatus::OutOfMemory;
        result.standardOutput = "overmem!\n";
    }
    return nullptr;
}

bool reportBroken(LoadResult& result, const std::string& text)
{
    result.status = LoadStatus::Broken;
    result.messages.push_back({kBrokenCaption, text});
    return false;
}

void reportWarning(LoadResult& result, const std::string& text)
{
    result.messages.push_back({kWarningCaption, text});
}

void RepeatedBoxes::add(LoadResult& result, std::initializer_list<LoadMessage> boxes)
{
    if (count_++ == 0)
        result.messages.insert(result.messages.end(), boxes);
}

void RepeatedBoxes::finish(LoadResult& result) const
{
    if (count_ > 1)
        reportWarning(result, std::to_string(count_ - 1) + " more " + what_ + ".");
}

void checkPackedSize(Pattern& pattern, LoadResult& result, RepeatedBoxes& repeats)
{
    const std::size_t walked = computeRowOffsets(pattern);
    if (pattern.packedSize == 0 || walked == pattern.packedSize)
        return;
    repeats.add(result, {{"PACKSIZE", std::to_string(pattern.packedSize)}, {"FC", std::to_string(walked)}});
}

void sanitiseLoop(Sample& sample)
{
    if (sample.loopType == 0)
        return;
    if (sample.loopType == 3)
        sample.loopType = 2;
    sample.loopStart = std::max(sample.loopStart, 0);
    sample.loopEnd = std::min(sample.loopEnd, sample.length);
    if (sample.loopStart >= sample.length || sample.loopEnd <= sample.loopStart) {
        sample.loopType = 0;
        return;
    }
    if (sample.loopType == 2 && sample.loopEnd - sample.loopStart < 2)
        sample.loopType = 1;
}

} // namespace music
