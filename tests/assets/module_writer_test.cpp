// The XM writer and the integer sound helpers, against values worked out by
// hand from the XM layout.
#include "assets/music/fixed_dsp.h"
#include "assets/music/xm_writer.h"
#include "tests/assets/module_scan.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace assets::music;

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t u16At(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(XmPacking, CellsUseTheShortestFormAndRowsFollowEachOther)
{
    XmPattern p(2, 3);
    p.at(0, 0) = {49, 1, 0x50, 0x0C, 0x20}; // everything present: five raw bytes
    p.at(0, 1) = {0, 0, 0, 0x20, 0x01};      // effect W01 only: flag 0x98
    // (0, 2) empty: 0x80
    p.at(1, 1) = {97, 0, 0, 0, 0};           // key-off: flag 0x81, 97
    const std::vector<std::uint8_t> expected = {
        49, 1, 0x50, 0x0C, 0x20, 0x98, 0x20, 0x01, 0x80, // row 0
        0x80, 0x81, 97, 0x80};                           // row 1
    EXPECT_EQ(packPattern(p), expected);
}

TEST(XmPacking, RejectsBadShapes)
{
    XmPattern p(1, 2);
    p.cells.pop_back();
    EXPECT_THROW(packPattern(p), std::invalid_argument);
    XmPattern q(1, 1);
    q.at(0, 0).note = 98; // above key-off
    EXPECT_THROW(packPattern(q), std::invalid_argument);
    EXPECT_THROW(q.at(1, 0), std::out_of_range);
}

TEST(XmDelta, EightAndSixteenBitAsStored)
{
    XmSample s8;
    s8.frames = {1, 2, 3, 0, -128, 127};
    // 1, +1, +1, -3, -128, +255 = -1 (wraps in 8 bits)
    EXPECT_EQ(deltaEncode(s8), (std::vector<std::uint8_t>{1, 1, 1, 0xFD, 0x80, 0xFF}));
    s8.frames = {128};
    EXPECT_THROW(deltaEncode(s8), std::invalid_argument);

    XmSample s16;
    s16.sixteenBit = true;
    s16.frames = {0x1000, 0x0FFF, -32768, 32767};
    // 0x1000, -1 = 0xFFFF, -32768 - 4095 wraps to 0x7001, 32767 + 32768 = 0xFFFF
    EXPECT_EQ(deltaEncode(s16), (std::vector<std::uint8_t>{0x00, 0x10, 0xFF, 0xFF, 0x01, 0x70, 0xFF, 0xFF}));
}

XmModule tinyModule()
{
    XmModule m;
    m.name = "tiny";
    m.tracker = "test";
    m.channels = 2;
    m.speed = 5;
    m.bpm = 140;
    m.orders = {0, 0};
    m.restartPosition = 1;
    XmPattern p(4, 2);
    p.at(0, 0) = {49, 1, 0, 0, 0};
    m.patterns.push_back(p);
    XmInstrument ins;
    ins.name = "one";
    XmSample s;
    s.sixteenBit = true;
    s.frames = {100, 200, 300, 400, 500};
    s.loop = LoopType::PingPong;
    s.loopStart = 1;
    s.loopLength = 3;
    s.finetune = -16;
    s.relativeNote = -12;
    s.panning = 64;
    s.volume = 40;
    ins.samples.push_back(s);
    ins.volumeEnvelope.points = {{0, 64}, {10, 32}, {20, 0}};
    ins.volumeEnvelope.on = true;
    ins.volumeEnvelope.sustain = true;
    ins.volumeEnvelope.sustainPoint = 1;
    ins.volumeEnvelope.loop = true;
    ins.volumeEnvelope.loopStart = 0;
    ins.volumeEnvelope.loopEnd = 1;
    ins.fadeout = 0x1234;
    m.instruments.push_back(ins);
    return m;
}

TEST(XmFile, FixedLayoutOfHeaderPatternInstrumentAndSample)
{
    const std::vector<std::uint8_t> b = encodeXm(tinyModule());
    // 60 + 276 header; pattern 9 + packed (1 note cell of 3 bytes + 7 empty
    // cells); instrument 263; one 40-byte sample header; 5 frames x 2 bytes.
    const std::size_t packed = 3 + 7;
    ASSERT_EQ(b.size(), 336 + 9 + packed + 263 + 40 + 10);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
    EXPECT_EQ(std::string(b.begin() + 17, b.begin() + 37), std::string("tiny\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20));
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 58), "test                ");
    EXPECT_EQ(u16At(b, 58), 0x0104);
    EXPECT_EQ(u32At(b, 60), 276u);
    EXPECT_EQ(u16At(b, 64), 2);   // song length
    EXPECT_EQ(u16At(b, 66), 1);   // restart
    EXPECT_EQ(u16At(b, 68), 2);   // channels
    EXPECT_EQ(u16At(b, 70), 1);   // patterns
    EXPECT_EQ(u16At(b, 72), 1);   // instruments
    EXPECT_EQ(u16At(b, 74), 1);   // linear frequency table
    EXPECT_EQ(u16At(b, 76), 5);   // speed
    EXPECT_EQ(u16At(b, 78), 140); // BPM
    EXPECT_EQ(b[80], 0);
    EXPECT_EQ(b[81], 0);
    EXPECT_EQ(b[82], 0); // unused orders are zero
    // Pattern header at 336.
    EXPECT_EQ(u32At(b, 336), 9u);
    EXPECT_EQ(b[340], 0);
    EXPECT_EQ(u16At(b, 341), 4);
    EXPECT_EQ(u16At(b, 343), packed);
    EXPECT_EQ(b[345], 0x83); // note + instrument
    EXPECT_EQ(b[346], 49);
    EXPECT_EQ(b[347], 1);
    // Instrument header.
    const std::size_t ins = 345 + packed;
    EXPECT_EQ(u32At(b, ins), 263u);
    EXPECT_EQ(u16At(b, ins + 27), 1); // samples
    EXPECT_EQ(u32At(b, ins + 29), 40u);
    EXPECT_EQ(u16At(b, ins + 129), 0);   // volume point 0 x
    EXPECT_EQ(u16At(b, ins + 131), 64);  // volume point 0 y
    EXPECT_EQ(u16At(b, ins + 133), 10);  // point 1 x
    EXPECT_EQ(b[ins + 225], 3);          // volume points
    EXPECT_EQ(b[ins + 227], 1);          // sustain point
    EXPECT_EQ(b[ins + 228], 0);          // loop start
    EXPECT_EQ(b[ins + 229], 1);          // loop end
    EXPECT_EQ(b[ins + 233], 1 | 2 | 4);  // volume type: on, sustain, loop
    EXPECT_EQ(b[ins + 234], 0);          // panning envelope off
    EXPECT_EQ(u16At(b, ins + 239), 0x1234);
    // Sample header: lengths in bytes for a 16-bit sample.
    const std::size_t smp = ins + 263;
    EXPECT_EQ(u32At(b, smp), 10u);
    EXPECT_EQ(u32At(b, smp + 4), 2u);
    EXPECT_EQ(u32At(b, smp + 8), 6u);
    EXPECT_EQ(b[smp + 12], 40);
    EXPECT_EQ(static_cast<std::int8_t>(b[smp + 13]), -16);
    EXPECT_EQ(b[smp + 14], 0x12); // ping-pong, 16-bit
    EXPECT_EQ(b[smp + 15], 64);
    EXPECT_EQ(static_cast<std::int8_t>(b[smp + 16]), -12);
    EXPECT_EQ(b[smp + 17], 0);
    EXPECT_EQ(u16At(b, smp + 40), 100);
    EXPECT_EQ(u16At(b, smp + 42), 100); // delta 200 - 100

    // And the independent reading agrees.
    const module_scan::Module m = module_scan::read(b);
    EXPECT_EQ(m.bytesRead, b.size());
    ASSERT_EQ(m.instruments.size(), 1u);
    EXPECT_EQ(m.instruments[0].samples[0].frames, (std::vector<std::int16_t>{100, 200, 300, 400, 500}));
}

TEST(XmFile, RefusesWhatTheFormatCannotHold)
{
    XmModule m = tinyModule();
    m.orders = {1}; // names a missing pattern
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].samples[0].loopLength = 5; // past the end
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].volumeEnvelope.sustainPoint = 3; // only 3 points
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].volumeEnvelope.points[2].x = 10; // x must rise
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].keymap[5] = 1; // only sample 0 exists
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.channels = 33;
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
    m = tinyModule();
    m.instruments[0].samples.clear(); // an empty instrument has a different header size
    EXPECT_THROW(encodeXm(m), std::invalid_argument);
}

TEST(FixedDsp, SineTableAtHandWorkedPoints)
{
    EXPECT_EQ(sineTableEntry(0), 0);
    EXPECT_EQ(sineTableEntry(1024), 32767);  // 1.0 clamped to Q15
    EXPECT_EQ(sineTableEntry(2048), 0);
    EXPECT_EQ(sineTableEntry(3072), -32767);
    EXPECT_EQ(sineTableEntry(512), 23170);   // sin 45 deg x 32768 = 23170.48
    EXPECT_EQ(sineTableEntry(2560), -23170);
    EXPECT_EQ(sineTableEntry(4096), 0);      // wraps
    // Entry 341 is 29.971 deg: sin = 0.499557, x 32768 = 16369.49
    EXPECT_EQ(sineTableEntry(341), 16369);
    // Between entries the value is interpolated: halfway between 512 and 513.
    const std::int32_t a = sineTableEntry(512), b = sineTableEntry(513);
    EXPECT_EQ(sineQ15((512u << 20) | (1u << 19)), a + (b - a) / 2);
}

TEST(FixedDsp, NoiseDecayAndScalingAreExactIntegers)
{
    NoiseSource n(1);
    // xorshift32 from 1: 1 ^ 1<<13 = 0x2001; ^ >>17 = 0x2001; ^ <<5 = 0x42021
    EXPECT_EQ(n.nextWord(), 0x42021u);
    Decay d(4);
    d.step(); // x 3/4
    EXPECT_EQ(d.level(), (std::int64_t{1} << 30) * 3 / 4);
    EXPECT_EQ(d.apply(1000), 750);
    EXPECT_EQ(normalise({-50, 25, 0}, 30000), (std::vector<std::int16_t>{-30000, 15000, 0}));
    EXPECT_EQ(toEightBit({32767, -32768, 128, 127, -129}), (std::vector<std::int16_t>{127, -128, 1, 0, -1}));
}

} // namespace
