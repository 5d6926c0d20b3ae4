#include "tests/assets/module_scan.h"

#include <set>
#include <stdexcept>
#include <utility>

namespace module_scan {

namespace {

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
    std::uint8_t u8()
    {
        if (pos_ >= b_.size())
            throw std::runtime_error("module truncated");
        return b_[pos_++];
    }
    std::uint16_t u16()
    {
        const unsigned lo = u8();
        return static_cast<std::uint16_t>(lo | (unsigned{u8()} << 8));
    }
    std::uint32_t u32()
    {
        const std::uint32_t lo = u16();
        return lo | (std::uint32_t{u16()} << 16);
    }
    std::string text(std::size_t n)
    {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s.push_back(static_cast<char>(u8()));
        return s;
    }
    void skip(std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            u8();
    }
    std::size_t pos() const { return pos_; }

private:
    const std::vector<std::uint8_t>& b_;
    std::size_t pos_ = 0;
};

Pattern readPattern(Reader& r, int channels)
{
    Pattern p;
    if (r.u32() != 9)
        throw std::runtime_error("pattern header length is not 9");
    r.u8();
    p.rows = r.u16();
    p.packedSize = r.u16();
    const std::size_t start = r.pos();
    for (int row = 0; row < p.rows && p.packedSize > 0; ++row) {
        const std::size_t rowStart = r.pos();
        for (int c = 0; c < channels; ++c) {
            Cell cell;
            const std::uint8_t b = r.u8();
            if (b & 0x80) {
                if (b & 0x01) cell.note = r.u8();
                if (b & 0x02) cell.instrument = r.u8();
                if (b & 0x04) cell.volume = r.u8();
                if (b & 0x08) cell.effect = r.u8();
                if (b & 0x10) cell.param = r.u8();
            } else {
                cell.note = b;
                cell.instrument = r.u8();
                cell.volume = r.u8();
                cell.effect = r.u8();
                cell.param = r.u8();
            }
            p.cells.push_back(cell);
        }
        p.rowBytes.push_back(static_cast<int>(r.pos() - rowStart));
    }
    if (p.packedSize == 0)
        p.cells.assign(static_cast<std::size_t>(p.rows * channels), Cell{});
    if (r.pos() - start != static_cast<std::size_t>(p.packedSize))
        throw std::runtime_error("packed size does not match the cells");
    return p;
}

} // namespace

Module read(const std::vector<std::uint8_t>& bytes)
{
    Reader r(bytes);
    Module m;
    m.id = r.text(17);
    m.name = r.text(20);
    if (r.u8() != 0x1A)
        throw std::runtime_error("no 0x1A after the module name");
    m.tracker = r.text(20);
    m.version = r.u16();
    m.headerSize = r.u32();
    m.songLength = r.u16();
    m.restart = r.u16();
    m.channels = r.u16();
    m.patternCount = r.u16();
    m.instrumentCount = r.u16();
    m.flags = r.u16();
    m.speed = r.u16();
    m.bpm = r.u16();
    for (int i = 0; i < 256; ++i)
        m.orders.push_back(r.u8());
    for (int i = 0; i < m.patternCount; ++i)
        m.patterns.push_back(readPattern(r, m.channels));
    for (int i = 0; i < m.instrumentCount; ++i) {
        Instrument ins;
        const std::size_t start = r.pos();
        ins.headerSize = r.u32();
        ins.name = r.text(22);
        ins.name.resize(ins.name.find('\0') == std::string::npos ? ins.name.size() : ins.name.find('\0'));
        r.u8();
        ins.sampleCount = r.u16();
        if (ins.sampleCount == 0) {
            r.skip(ins.headerSize - (r.pos() - start));
            m.instruments.push_back(ins);
            continue;
        }
        r.u32(); // sample header size
        for (auto& k : ins.keymap) k = r.u8();
        for (auto& v : ins.volumePoints) v = r.u16();
        for (auto& v : ins.panningPoints) v = r.u16();
        ins.volumeCount = r.u8();
        ins.panningCount = r.u8();
        ins.volumeSustain = r.u8();
        ins.volumeLoopStart = r.u8();
        ins.volumeLoopEnd = r.u8();
        ins.panningSustain = r.u8();
        ins.panningLoopStart = r.u8();
        ins.panningLoopEnd = r.u8();
        ins.volumeType = r.u8();
        ins.panningType = r.u8();
        r.skip(4); // auto-vibrato
        ins.fadeout = r.u16();
        r.u16();
        // Other readers seek by the stored header size: it must match what is there.
        if (ins.headerSize < r.pos() - start)
            throw std::runtime_error("instrument header size too small");
        r.skip(ins.headerSize - (r.pos() - start));
        for (int s = 0; s < ins.sampleCount; ++s) {
            Sample smp;
            smp.lengthBytes = r.u32();
            smp.loopStartBytes = r.u32();
            smp.loopLengthBytes = r.u32();
            smp.volume = r.u8();
            smp.finetune = static_cast<std::int8_t>(r.u8());
            smp.type = r.u8();
            smp.panning = r.u8();
            smp.relativeNote = static_cast<std::int8_t>(r.u8());
            smp.reserved = r.u8();
            r.skip(22);
            ins.samples.push_back(smp);
        }
        for (Sample& smp : ins.samples) {
            if (smp.sixteenBit()) {
                std::int16_t acc = 0;
                for (std::uint32_t k = 0; k < smp.lengthBytes / 2; ++k) {
                    acc = static_cast<std::int16_t>(acc + static_cast<std::int16_t>(r.u16()));
                    smp.frames.push_back(acc);
                }
            } else {
                std::int8_t acc = 0;
                for (std::uint32_t k = 0; k < smp.lengthBytes; ++k) {
                    acc = static_cast<std::int8_t>(acc + static_cast<std::int8_t>(r.u8()));
                    smp.frames.push_back(acc);
                }
            }
        }
        m.instruments.push_back(std::move(ins));
    }
    m.bytesRead = r.pos();
    return m;
}

std::vector<PlayedRow> playedRows(const Module& m, double* end)
{
    std::vector<PlayedRow> out;
    std::set<std::pair<int, int>> seen; // (order, row) already played
    int order = 0, row = 0, speed = m.speed, bpm = m.bpm;
    double t = 0.0;
    while (order < m.songLength && !seen.count({order, row})) {
        seen.insert({order, row});
        const int pattern = m.orders.at(static_cast<std::size_t>(order));
        const Pattern& p = m.patterns.at(static_cast<std::size_t>(pattern));
        int nextOrder = -1, nextRow = -1;
        for (int c = 0; c < m.channels; ++c) {
            const Cell& cell = m.cell(pattern, row, c);
            if (cell.effect == 0xF && cell.param != 0) {
                if (cell.param < 32) speed = cell.param;
                else bpm = cell.param;
            } else if (cell.effect == 0xB) {
                nextOrder = cell.param;
                nextRow = 0;
            } else if (cell.effect == 0xD) {
                if (nextOrder < 0)
                    nextOrder = order + 1;
                nextRow = (cell.param >> 4) * 10 + (cell.param & 15);
            }
        }
        out.push_back({order, pattern, row, t, speed, bpm});
        t += speed * 2.5 / bpm;
        if (nextOrder >= 0) {
            order = nextOrder;
            row = nextRow;
        } else if (++row >= p.rows) {
            row = 0;
            ++order;
        }
    }
    if (end)
        *end = t;
    return out;
}

} // namespace module_scan
