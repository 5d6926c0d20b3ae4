#include "assets/music/xm_writer.h"

#include <stdexcept>

namespace assets::music {

namespace {

class ByteWriter {
public:
    void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
    void u16(unsigned v)
    {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // A fixed-width text field, padded with zero bytes (longer text is cut).
    void text(const std::string& s, std::size_t width, char pad = '\0')
    {
        for (std::size_t i = 0; i < width; ++i)
            u8(i < s.size() ? static_cast<unsigned char>(s[i]) : static_cast<unsigned char>(pad));
    }
    void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void append(const std::vector<std::uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

void require(bool condition, const char* what)
{
    if (!condition)
        throw std::invalid_argument(what);
}

void writeEnvelope(ByteWriter& w, const XmEnvelope& env)
{
    require(env.points.size() <= 12, "envelope with more than 12 points");
    for (std::size_t i = 1; i < env.points.size(); ++i)
        require(env.points[i].x > env.points[i - 1].x, "envelope x must rise");
    for (std::size_t i = 0; i < 12; ++i) {
        if (i < env.points.size()) {
            require(env.points[i].y <= 64, "envelope value above 64");
            w.u16(env.points[i].x);
            w.u16(env.points[i].y);
        } else {
            w.u32(0);
        }
    }
}

void checkEnvelopeIndices(const XmEnvelope& env)
{
    if (!env.on)
        return;
    require(!env.points.empty(), "envelope switched on without points");
    const std::size_t n = env.points.size();
    if (env.sustain)
        require(env.sustainPoint < n, "sustain point outside the envelope");
    if (env.loop)
        require(env.loopStart <= env.loopEnd && env.loopEnd < n, "loop points outside the envelope");
}

} // namespace

XmCell& XmPattern::at(int row, int channel)
{
    if (row < 0 || row >= rows || channel < 0 || channel >= channels)
        throw std::out_of_range("pattern cell outside the pattern");
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)];
}

const XmCell& XmPattern::at(int row, int channel) const
{
    return const_cast<XmPattern*>(this)->at(row, channel);
}

std::vector<std::uint8_t> packPattern(const XmPattern& pattern)
{
    require(pattern.rows >= 1 && pattern.rows <= 256, "pattern rows outside 1..256");
    require(pattern.cells.size() == static_cast<std::size_t>(pattern.rows) * static_cast<std::size_t>(pattern.channels),
            "pattern cell count does not match rows x channels");
    std::vector<std::uint8_t> out;
    for (int r = 0; r < pattern.rows; ++r) {
        const std::size_t rowStart = out.size();
        for (int c = 0; c < pattern.channels; ++c) {
            const XmCell& cell = pattern.at(r, c);
            require(cell.note <= 97, "note above key-off");
            const bool all = cell.note && cell.instrument && cell.volume && cell.effect && cell.param;
            if (all) {
                // Every field present: the raw five bytes are shorter than a flag byte plus five.
                out.insert(out.end(), {cell.note, cell.instrument, cell.volume, cell.effect, cell.param});
                continue;
            }
            std::uint8_t flags = 0x80;
            if (cell.note) flags |= 0x01;
            if (cell.instrument) flags |= 0x02;
            if (cell.volume) flags |= 0x04;
            if (cell.effect) flags |= 0x08;
            if (cell.param) flags |= 0x10;
            out.push_back(flags);
            if (cell.note) out.push_back(cell.note);
            if (cell.instrument) out.push_back(cell.instrument);
            if (cell.volume) out.push_back(cell.volume);
            if (cell.effect) out.push_back(cell.effect);
            if (cell.param) out.push_back(cell.param);
        }
        require(out.size() - rowStart <= 255, "a packed row longer than 255 bytes");
    }
    return out;
}

std::vector<std::uint8_t> deltaEncode(const XmSample& sample)
{
    std::vector<std::uint8_t> out;
    out.reserve(sample.frames.size() * (sample.sixteenBit ? 2 : 1));
    std::int32_t previous = 0;
    for (std::int16_t v : sample.frames) {
        if (sample.sixteenBit) {
            const auto d = static_cast<std::uint16_t>(static_cast<std::uint16_t>(v) - static_cast<std::uint16_t>(previous));
            out.push_back(static_cast<std::uint8_t>(d & 0xFF));
            out.push_back(static_cast<std::uint8_t>(d >> 8));
        } else {
            require(v >= -128 && v <= 127, "8-bit sample value out of range");
            out.push_back(static_cast<std::uint8_t>((v - previous) & 0xFF));
        }
        previous = v;
    }
    return out;
}

std::vector<std::uint8_t> encodeXm(const XmModule& m)
{
    require(m.channels >= 1 && m.channels <= 32, "channel count outside 1..32");
    require(!m.orders.empty() && m.orders.size() <= 256, "order table length outside 1..256");
    require(m.patterns.size() <= 256, "more than 256 patterns");
    require(!m.instruments.empty() && m.instruments.size() <= 128, "instrument count outside 1..128");
    require(m.restartPosition >= 0 && static_cast<std::size_t>(m.restartPosition) < m.orders.size(),
            "restart position outside the order table");
    require(m.speed >= 1 && m.speed <= 31 && m.bpm >= 32 && m.bpm <= 255, "speed or tempo out of range");
    for (std::uint8_t o : m.orders)
        require(o < m.patterns.size(), "order entry names a missing pattern");

    ByteWriter w;
    w.text("Extended Module: ", 17);
    w.text(m.name, 20); // zero-padded, so readers show the name without trailing blanks
    w.u8(0x1A);
    w.text(m.tracker, 20, ' ');
    w.u16(0x0104);
    w.u32(276); // header size, counted from this field: 4 + 8 x 2 + 256
    w.u16(static_cast<unsigned>(m.orders.size()));
    w.u16(static_cast<unsigned>(m.restartPosition));
    w.u16(static_cast<unsigned>(m.channels));
    w.u16(static_cast<unsigned>(m.patterns.size()));
    w.u16(static_cast<unsigned>(m.instruments.size()));
    w.u16(m.linearFrequencies ? 1 : 0);
    w.u16(static_cast<unsigned>(m.speed));
    w.u16(static_cast<unsigned>(m.bpm));
    for (std::size_t i = 0; i < 256; ++i)
        w.u8(i < m.orders.size() ? m.orders[i] : 0);

    for (const XmPattern& p : m.patterns) {
        require(p.channels == m.channels, "pattern channel count differs from the song's");
        const std::vector<std::uint8_t> packed = packPattern(p);
        require(packed.size() <= 0xFFFF, "packed pattern larger than 65535 bytes");
        w.u32(9); // pattern header length
        w.u8(0);  // packing type
        w.u16(static_cast<unsigned>(p.rows));
        w.u16(static_cast<unsigned>(packed.size()));
        w.append(packed);
    }

    for (const XmInstrument& ins : m.instruments) {
        require(!ins.samples.empty() && ins.samples.size() <= 16, "instrument sample count outside 1..16");
        checkEnvelopeIndices(ins.volumeEnvelope);
        checkEnvelopeIndices(ins.panningEnvelope);
        for (std::uint8_t k : ins.keymap)
            require(k < ins.samples.size(), "keymap names a missing sample");

        const std::size_t start = w.size();
        w.u32(263); // instrument header size
        w.text(ins.name, 22);
        w.u8(0); // type
        w.u16(static_cast<unsigned>(ins.samples.size()));
        w.u32(40); // sample header size
        for (std::uint8_t k : ins.keymap)
            w.u8(k);
        writeEnvelope(w, ins.volumeEnvelope);
        writeEnvelope(w, ins.panningEnvelope);
        w.u8(static_cast<unsigned>(ins.volumeEnvelope.points.size()));
        w.u8(static_cast<unsigned>(ins.panningEnvelope.points.size()));
        w.u8(ins.volumeEnvelope.sustainPoint);
        w.u8(ins.volumeEnvelope.loopStart);
        w.u8(ins.volumeEnvelope.loopEnd);
        w.u8(ins.panningEnvelope.sustainPoint);
        w.u8(ins.panningEnvelope.loopStart);
        w.u8(ins.panningEnvelope.loopEnd);
        w.u8(ins.volumeEnvelope.typeByte());
        w.u8(ins.panningEnvelope.typeByte());
        w.u8(ins.vibratoType);
        w.u8(ins.vibratoSweep);
        w.u8(ins.vibratoDepth);
        w.u8(ins.vibratoRate);
        w.u16(ins.fadeout);
        w.u16(0); // reserved
        w.zeros(20);
        require(w.size() - start == 263, "instrument header is not 263 bytes");

        std::vector<std::vector<std::uint8_t>> data;
        for (const XmSample& s : ins.samples) {
            const std::uint32_t bytesPerFrame = s.sixteenBit ? 2 : 1;
            const auto frames = static_cast<std::uint32_t>(s.frames.size());
            if (s.loop != LoopType::None)
                require(s.loopLength > 0 && s.loopStart + s.loopLength <= frames, "sample loop outside the sample");
            require(s.volume <= 64, "sample volume above 64");
            w.u32(frames * bytesPerFrame);
            w.u32(s.loop == LoopType::None ? 0 : s.loopStart * bytesPerFrame);
            w.u32(s.loop == LoopType::None ? 0 : s.loopLength * bytesPerFrame);
            w.u8(s.volume);
            w.u8(static_cast<std::uint8_t>(s.finetune));
            w.u8(static_cast<unsigned>(s.loop) | (s.sixteenBit ? 0x10u : 0u));
            w.u8(s.panning);
            w.u8(static_cast<std::uint8_t>(s.relativeNote));
            w.u8(0); // reserved (must be 0: other values mean compressed data to some readers)
            w.text(s.name, 22);
            data.push_back(deltaEncode(s));
        }
        for (const auto& d : data)
            w.append(d);
    }
    return w.take();
}

} // namespace assets::music
