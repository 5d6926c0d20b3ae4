#include "assets/common/quantize.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

namespace assets {
namespace {

struct Entry {
    std::uint32_t colour;
    std::uint32_t count;
};

int channel(std::uint32_t c, int shift) { return int((c >> shift) & 0xff); }

struct Box {
    std::vector<Entry> entries;
    int longestShift = 16;
    int range = 0;
    std::uint64_t weight = 0;

    void measure()
    {
        range = -1;
        weight = 0;
        for (const Entry& e : entries)
            weight += e.count;
        for (int shift : {16, 8, 0}) {
            int lo = 255, hi = 0;
            for (const Entry& e : entries) {
                lo = std::min(lo, channel(e.colour, shift));
                hi = std::max(hi, channel(e.colour, shift));
            }
            if (hi - lo > range) {
                range = hi - lo;
                longestShift = shift;
            }
        }
    }

    // The count-weighted mean colour, rounded to nearest; the top byte is
    // that of the most frequent entry.
    std::uint32_t mean() const
    {
        std::uint64_t sum[3] = {0, 0, 0};
        std::uint64_t total = 0;
        const Entry* top = &entries.front();
        for (const Entry& e : entries) {
            sum[0] += std::uint64_t(channel(e.colour, 16)) * e.count;
            sum[1] += std::uint64_t(channel(e.colour, 8)) * e.count;
            sum[2] += std::uint64_t(channel(e.colour, 0)) * e.count;
            total += e.count;
            if (e.count > top->count)
                top = &e;
        }
        const auto avg = [&](int i) { return std::uint32_t((sum[i] * 2 + total) / (2 * total)); };
        return (top->colour & 0xff000000u) | (avg(0) << 16) | (avg(1) << 8) | avg(2);
    }
};

} // namespace

Image quantize(const Image& image, int maxColours, std::optional<std::uint32_t> keep)
{
    if (maxColours < 2 || maxColours > 256)
        throw std::invalid_argument("quantize: colour count must be 2..256");

    std::map<std::uint32_t, std::uint32_t> histogram;
    for (std::uint32_t c : image.pixels)
        if (!keep || c != *keep)
            ++histogram[c];

    const int boxesWanted = maxColours - (keep ? 1 : 0);
    std::vector<Box> boxes;
    if (!histogram.empty()) {
        Box all;
        for (const auto& [colour, count] : histogram)
            all.entries.push_back({colour, count});
        all.measure();
        boxes.push_back(std::move(all));
    }
    // Split the box with the widest channel range (weighted by its pixel
    // count, so large smooth areas get more shades) until enough boxes exist.
    while (int(boxes.size()) < boxesWanted) {
        int best = -1;
        std::uint64_t bestScore = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].entries.size() < 2)
                continue;
            const std::uint64_t score = std::uint64_t(boxes[i].range + 1) * std::uint64_t(boxes[i].range + 1) * boxes[i].weight;
            if (best < 0 || score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best < 0)
            break;
        Box& box = boxes[best];
        const int shift = box.longestShift;
        std::sort(box.entries.begin(), box.entries.end(), [shift](const Entry& a, const Entry& b) {
            const int ca = channel(a.colour, shift), cb = channel(b.colour, shift);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        // Cut at the median pixel, leaving at least one entry on each side.
        std::uint64_t half = box.weight / 2, run = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.entries.size(); ++i) {
            run += box.entries[i].count;
            cut = i + 1;
            if (run >= half)
                break;
        }
        Box upper;
        upper.entries.assign(box.entries.begin() + std::ptrdiff_t(cut), box.entries.end());
        box.entries.resize(cut);
        box.measure();
        upper.measure();
        boxes.push_back(std::move(upper));
    }

    std::map<std::uint32_t, std::uint32_t> replacement;
    for (const Box& box : boxes) {
        std::uint32_t m = box.mean();
        if (keep && m == *keep)
            m ^= 0x000001u; // one step of blue away from the key
        for (const Entry& e : box.entries)
            replacement[e.colour] = m;
    }

    Image out = image;
    for (std::uint32_t& c : out.pixels)
        if (!keep || c != *keep)
            c = replacement[c];
    return out;
}

} // namespace assets
