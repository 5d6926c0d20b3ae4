// Small modules for the module target's seed corpus, written by the music
// tests' module writer.
#include "fuzz/seeds/seeds.h"
#include "tests/music/module_writer.h"

namespace fuzz_seeds {

namespace {

using namespace music_test;

XmPattern busyPattern(int rows, int channels)
{
    XmPattern p;
    p.rows = rows;
    p.cells.resize(static_cast<std::size_t>(rows * channels));
    // A note, a key-off and a few of the effects with memories and ticks.
    const Cell cells[] = {{49, 1, 0x40, 0x0, 0x37}, {61, 2, 0x1F, 0x4, 0x44}, {37, 1, 0x80, 0x1B, 0x12},
                          {0, 0, 0x65, 0xE, 0x62},  {97, 0, 0, 0x14, 0x05},   {25, 2, 0xC8, 0x3, 0x20},
                          {73, 1, 0, 0x7, 0x83},    {0, 0, 0, 0xF, 0x03},     {50, 2, 0x10, 0x19, 0x41}};
    for (std::size_t i = 0; i < std::size(cells); ++i)
        p.cells[(i * 5) % p.cells.size()] = cells[i];
    return p;
}

XmInstrument envelopeInstrument(bool sixteenBit, std::uint8_t loopType)
{
    XmInstrument ins;
    XmSample s;
    s.frames = squareWave(64, sixteenBit ? 9000 : 100);
    s.sixteenBit = sixteenBit;
    s.loopType = loopType;
    s.loopStart = 8;
    s.loopLength = 40;
    s.relativeNote = sixteenBit ? -12 : 0;
    s.finetune = sixteenBit ? -40 : 30;
    ins.samples.push_back(s);
    ins.volumeEnvelope.points = {{0, 64}, {4, 20}, {10, 50}, {30, 0}};
    ins.volumeEnvelope.type = 7;
    ins.volumeEnvelope.sustain = 1;
    ins.volumeEnvelope.loopEnd = 2;
    ins.panningEnvelope.points = {{0, 0}, {8, 64}};
    ins.panningEnvelope.type = 1;
    ins.fadeOut = 500;
    ins.vibratoDepth = 8;
    ins.vibratoRate = 20;
    ins.vibratoSweep = 4;
    return ins;
}

Bytes linearXm()
{
    XmModule m;
    m.channels = 4;
    m.orders = {0, 1, 0};
    m.restart = 1;
    m.speed = 3;
    m.bpm = 140;
    m.patterns = {busyPattern(16, 4), busyPattern(8, 4)};
    m.instruments = {envelopeInstrument(false, 2), envelopeInstrument(true, 1), XmInstrument{}};
    return writeXm(m);
}

Bytes amigaXm()
{
    XmModule m;
    m.channels = 2;
    m.linear = false;
    m.orders = {1, 0};
    XmPattern empty;
    empty.rows = 4;
    m.patterns = {busyPattern(4, 2), empty};
    XmInstrument twoSamples = envelopeInstrument(false, 1);
    twoSamples.samples.push_back(twoSamples.samples[0]);
    twoSamples.keymap.assign(96, 0);
    for (std::size_t note = 48; note < 96; ++note)
        twoSamples.keymap[note] = 1;
    m.instruments = {twoSamples};
    return writeXm(m);
}

Bytes mod(const char* tag, int channels)
{
    ModModule m;
    m.tag = tag;
    m.channels = channels;
    m.songLength = 2;
    m.orders = {0, 1};
    m.patterns.resize(2);
    for (auto& p : m.patterns)
        p.assign(static_cast<std::size_t>(64 * channels), ModCell{});
    m.patterns[0][0] = {428, 1, 0xA, 0x01};
    m.patterns[0][static_cast<std::size_t>(channels)] = {214, 2, 0x3, 0x08};
    m.patterns[0][static_cast<std::size_t>(2 * channels)] = {856, 1, 0xE, 0x93};
    m.patterns[1][0] = {113, 2, 0x4, 0x46};
    m.patterns[1][1] = {57, 1, 0xB, 0x00};
    ModSample looped;
    looped.lengthWords = 32;
    looped.data.assign(64, 40);
    looped.loopStartWords = 4;
    looped.loopLengthWords = 16;
    looped.finetune = 9;
    ModSample plain;
    plain.lengthWords = 16;
    plain.data.assign(32, -30);
    plain.volume = 48;
    m.samples = {looped, plain};
    return writeMod(m);
}

} // namespace

std::vector<Bytes> moduleSeeds()
{
    return {linearXm(), amigaXm(), mod("M.K.", 4), mod("6CHN", 6), mod("8CHN", 8), mod("2CHN", 2), mod("32CH", 32)};
}

} // namespace fuzz_seeds
