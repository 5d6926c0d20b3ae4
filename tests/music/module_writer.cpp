#include "tests/music/module_writer.h"

#include <algorithm>

namespace music_test {

namespace {

void put8(std::vector<std::uint8_t>& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); }
void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    put8(out, v & 0xFF);
    put8(out, (v >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put16be(std::vector<std::uint8_t>& out, unsigned v)
{
    put8(out, (v >> 8) & 0xFF);
    put8(out, v & 0xFF);
}
void putText(std::vector<std::uint8_t>& out, const std::string& s, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        put8(out, i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
}

} // namespace

void packCell(std::vector<std::uint8_t>& out, const Cell& c)
{
    if (c.note && c.instrument && c.volume && c.effect && c.parameter && c.note < 0x80) {
        for (unsigned v : {c.note, c.instrument, c.volume, c.effect, c.parameter})
            put8(out, v);
        return;
    }
    std::uint8_t flags = 0x80;
    if (c.note) flags |= 1;
    if (c.instrument) flags |= 2;
    if (c.volume) flags |= 4;
    if (c.effect) flags |= 8;
    if (c.parameter) flags |= 16;
    put8(out, flags);
    if (c.note) put8(out, c.note);
    if (c.instrument) put8(out, c.instrument);
    if (c.volume) put8(out, c.volume);
    if (c.effect) put8(out, c.effect);
    if (c.parameter) put8(out, c.parameter);
}

namespace {

// The patterns, each with its header: 9 bytes, or 8 in version 0x0102, whose
// one row byte holds rows - 1.
void writePatterns(std::vector<std::uint8_t>& out, const XmModule& m)
{
    const bool shortHeader = m.version == 0x0102;
    for (const XmPattern& p : m.patterns) {
        std::vector<std::uint8_t> packed;
        if (!p.rawData.empty()) {
            packed = p.rawData;
        } else {
            bool any = false;
            for (const Cell& c : p.cells)
                any = any || c.note || c.instrument || c.volume || c.effect || c.parameter;
            if (any) {
                for (int r = 0; r < p.rows; ++r)
                    for (int ch = 0; ch < m.channels; ++ch) {
                        const std::size_t i = static_cast<std::size_t>(r * m.channels + ch);
                        packCell(packed, i < p.cells.size() ? p.cells[i] : Cell{});
                    }
            }
        }
        put32(out, shortHeader && p.headerLength == 9 ? 8 : p.headerLength);
        put8(out, 0);
        if (shortHeader)
            put8(out, static_cast<unsigned>(p.rows - 1));
        else
            put16(out, static_cast<unsigned>(p.rows));
        put16(out, p.rawPackedSizeSet ? p.rawPackedSize : static_cast<unsigned>(packed.size()));
        out.insert(out.end(), p.headerExtra.begin(), p.headerExtra.end());
        out.insert(out.end(), packed.begin(), packed.end());
    }

}

// The instruments with their sample headers; the sample data goes to `data`
// (right after each instrument's headers in 0x0104, after the patterns in
// older versions).
void writeInstruments(std::vector<std::uint8_t>& out, std::vector<std::uint8_t>& data, const XmModule& m)
{
    for (const XmInstrument& ins : m.instruments) {
        const std::size_t start = out.size();
        const bool empty = ins.samples.empty();
        const std::uint32_t size = ins.headerSize ? ins.headerSize : (empty ? 29u : 263u);
        put32(out, size);
        putText(out, ins.name, 22);
        put8(out, 0);
        put16(out, static_cast<unsigned>(ins.samples.size()));
        if (empty) {
            put32(out, 40); // sample header size, still written
            if (out.size() < start + size)
                out.resize(start + size, 0);
            continue;
        }
        put32(out, ins.sampleHeaderSize);
        for (int i = 0; i < 96; ++i)
            put8(out, i < static_cast<int>(ins.keymap.size()) ? ins.keymap[static_cast<std::size_t>(i)] : 0);
        for (const XmEnvelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope})
            for (int i = 0; i < 12; ++i) {
                const bool has = i < static_cast<int>(e->points.size());
                put16(out, has ? static_cast<std::uint16_t>(e->points[static_cast<std::size_t>(i)].first) : 0);
                put16(out, has ? static_cast<std::uint16_t>(e->points[static_cast<std::size_t>(i)].second) : 0);
            }
        put8(out, static_cast<unsigned>(ins.volumeEnvelope.points.size()));
        put8(out, static_cast<unsigned>(ins.panningEnvelope.points.size()));
        put8(out, ins.volumeEnvelope.sustain);
        put8(out, ins.volumeEnvelope.loopStart);
        put8(out, ins.volumeEnvelope.loopEnd);
        put8(out, ins.panningEnvelope.sustain);
        put8(out, ins.panningEnvelope.loopStart);
        put8(out, ins.panningEnvelope.loopEnd);
        put8(out, ins.volumeEnvelope.type);
        put8(out, ins.panningEnvelope.type);
        put8(out, ins.vibratoType);
        put8(out, ins.vibratoSweep);
        put8(out, ins.vibratoDepth);
        put8(out, ins.vibratoRate);
        put16(out, ins.fadeOut);
        put16(out, 0);
        out.resize(start + std::max<std::uint32_t>(size, 243), 0); // reserved bytes up to the stored size

        for (const XmSample& s : ins.samples) {
            const std::size_t sampleStart = out.size();
            const unsigned bytesPerFrame = s.sixteenBit ? 2 : 1;
            const std::uint32_t length =
                s.rawDataSet ? s.storedLength : static_cast<std::uint32_t>(s.frames.size() * bytesPerFrame);
            put32(out, length);
            put32(out, s.loopStart * bytesPerFrame);
            put32(out, s.loopLength * bytesPerFrame);
            put8(out, s.volume);
            put8(out, static_cast<std::uint8_t>(s.finetune));
            put8(out, (s.sixteenBit ? 0x10u : 0u) | s.loopType);
            put8(out, s.panning);
            put8(out, static_cast<std::uint8_t>(s.relativeNote));
            put8(out, 0);
            putText(out, s.name, 22);
            out.resize(sampleStart + std::max<std::uint32_t>(ins.sampleHeaderSize, 40), 0);
        }
        for (const XmSample& s : ins.samples) {
            if (s.rawDataSet) {
                data.insert(data.end(), s.rawData.begin(), s.rawData.end());
                continue;
            }
            int previous = 0;
            for (std::int16_t v : s.frames) {
                const int delta = v - previous;
                previous = v;
                if (s.sixteenBit)
                    put16(data, static_cast<std::uint16_t>(delta));
                else
                    put8(data, static_cast<std::uint8_t>(delta));
            }
        }
        if (m.version >= 0x0104) {
            out.insert(out.end(), data.begin(), data.end());
            data.clear();
        }
    }
}

} // namespace

std::vector<std::uint8_t> writeXm(const XmModule& m)
{
    std::vector<std::uint8_t> out;
    putText(out, "Extended Module: ", 17);
    putText(out, m.name, 20);
    put8(out, 0x1A);
    putText(out, "module writer", 20);
    put16(out, m.version);
    put32(out, m.headerSize);
    const std::size_t headerStart = 60;
    put16(out, m.songLengthOverride >= 0 ? static_cast<unsigned>(m.songLengthOverride)
                                         : static_cast<unsigned>(m.orders.size()));
    put16(out, m.restart);
    put16(out, static_cast<unsigned>(m.channels));
    put16(out, static_cast<unsigned>(m.patterns.size()));
    put16(out, static_cast<unsigned>(m.instruments.size()));
    put16(out, m.linear ? 1 : 0);
    put16(out, m.speed);
    put16(out, m.bpm);
    for (int i = 0; i < 256; ++i)
        put8(out, i < static_cast<int>(m.orders.size()) ? m.orders[static_cast<std::size_t>(i)] : 0);
    // A header longer than 276 bytes carries extra bytes; a shorter one ends early.
    out.resize(headerStart + m.headerSize, 0xEE);

    std::vector<std::uint8_t> data;
    if (m.version >= 0x0104) {
        writePatterns(out, m);
        writeInstruments(out, data, m);
    } else {
        writeInstruments(out, data, m);
        writePatterns(out, m);
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

std::vector<std::uint8_t> writeMod(const ModModule& m)
{
    std::vector<std::uint8_t> out;
    putText(out, m.title, 20);
    for (int i = 0; i < 31; ++i) {
        const ModSample s = i < static_cast<int>(m.samples.size()) ? m.samples[static_cast<std::size_t>(i)] : ModSample{};
        putText(out, s.name, 22);
        put16be(out, s.lengthWords);
        put8(out, s.finetune);
        put8(out, s.volume);
        put16be(out, s.loopStartWords);
        put16be(out, s.loopLengthWords);
    }
    put8(out, m.songLength);
    put8(out, m.restartByte);
    for (int i = 0; i < 128; ++i)
        put8(out, i < static_cast<int>(m.orders.size()) ? m.orders[static_cast<std::size_t>(i)] : 0);
    putText(out, m.tag, 4);
    int patterns = m.patternsToWrite;
    if (patterns < 0) {
        patterns = 1;
        for (int i = 0; i < m.songLength && i < static_cast<int>(m.orders.size()); ++i)
            patterns = std::max(patterns, m.orders[static_cast<std::size_t>(i)] + 1);
    }
    for (int p = 0; p < patterns; ++p) {
        const std::vector<ModCell> empty;
        const auto& cells = p < static_cast<int>(m.patterns.size()) ? m.patterns[static_cast<std::size_t>(p)] : empty;
        for (int i = 0; i < 64 * m.channels; ++i) {
            const ModCell c = i < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(i)] : ModCell{};
            put8(out, (c.instrument & 0xF0) | ((c.period >> 8) & 0x0F));
            put8(out, c.period & 0xFF);
            put8(out, ((c.instrument & 0x0F) << 4) | (c.effect & 0x0F));
            put8(out, c.parameter);
        }
    }
    for (const ModSample& s : m.samples)
        for (std::int8_t v : s.data)
            put8(out, static_cast<std::uint8_t>(v));
    return out;
}

std::vector<std::int16_t> squareWave(int frames, int amplitude)
{
    std::vector<std::int16_t> v(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i < frames / 2 ? amplitude : -amplitude);
    return v;
}

} // namespace music_test
