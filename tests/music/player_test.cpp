// The player: timing, row and tick effects, periods, envelopes, gains and
// the synchronisation markers, on small modules built by the tests.
#include "music/module_reader.h"
#include "music/periods.h"
#include "music/song.h"
#include "platform/clock.h"
#include "tests/music/module_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace music;
using namespace music_test;

namespace {

constexpr std::uint8_t C4 = 49; // note index 48: linear period 4608

// A module of `channels` channels and one 64-row pattern played `orders`
// times, with instrument 1: a long looping 8-bit sample at volume 64.
XmModule module(int channels, int orderCount = 1)
{
    XmModule m;
    m.channels = channels;
    m.orders.assign(static_cast<std::size_t>(orderCount), 0);
    XmPattern p;
    p.rows = 64;
    p.cells.resize(static_cast<std::size_t>(64 * channels));
    m.patterns.push_back(p);
    XmInstrument ins;
    XmSample s;
    s.frames = squareWave(256, 60);
    s.loopType = 1;
    s.loopStart = 0;
    s.loopLength = 256;
    ins.samples.push_back(s);
    m.instruments.push_back(ins);
    return m;
}

Cell& at(XmModule& m, int row, int channel)
{
    return m.patterns[0].cells[static_cast<std::size_t>(row * m.channels + channel)];
}

struct Player {
    std::unique_ptr<Song> song = std::make_unique<Song>();
    platform::ManualClock clock{1000};

    explicit Player(const XmModule& m, int rate = 44100)
    {
        const LoadResult r = readModule(*song, writeXm(m));
        EXPECT_TRUE(r.loaded());
        song->setClock(clock);
        song->start(rate);
        song->syncReset(600);
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            song->playTick();
    }
    // n ticks with their audio, so that the channels' positions move.
    void play(int n)
    {
        std::vector<std::uint8_t> block(4 * static_cast<std::size_t>(song->framesPerTick) * n);
        song->fillBuffer(block.data(), static_cast<std::uint32_t>(block.size()));
    }
    Channel& ch(int c) { return song->channels[static_cast<std::size_t>(c)]; }
    int currentRow() const { return song->nextRow - 1; }
};

} // namespace

// ---------------------------------------------------------------- tables and periods

TEST(Periods, LinearAndAmigaPeriodsWorkedByHand)
{
    EXPECT_EQ(linearPeriod(48, 0), 4608);
    EXPECT_EQ(linearPeriod(48, 1), 4607);  // 4608 - 0.5, truncated
    EXPECT_EQ(linearPeriod(48, -3), 4609); // 4609.5, truncated toward zero
    EXPECT_EQ(linearPeriod(0, 0), 7680);
    // m = 49, k = 8: T[8] = 856, x 32 / 2^4.
    EXPECT_EQ(amigaPeriod(48, 0), 1712);
    // m = 48, k = 0: T[0] = 907 x 32 / 16.
    EXPECT_EQ(amigaPeriod(47, 0), 1814);
    // f = 16: k = 9, w = 0.125: trunc(850 x 0.875 + 844 x 0.125) = 849, x 2.
    EXPECT_EQ(amigaPeriod(48, 16), 1698);
    // f = -16: k = 7, w = -0.125: trunc(862 x 1.125 - 856 x 0.125) = 862, x 2.
    EXPECT_EQ(amigaPeriod(48, -16), 1724);
}

// At the table's edges the next octave's entries continue it, so a B keeps a
// flat finetune and an A# a sharp one (they used to be held at T[0] and T[95]).
TEST(Periods, AmigaFinetuneAtTheTablesEdges)
{
    // B (m = 48, m mod 12 = 0) at f = -48: k = -3, w = -0.375; T[-3] = 2 x T[93] = 926,
    // T[-2] = 2 x T[94] = 920: trunc(926 x 1.375 - 920 x 0.375) = 928, x 32 / 16 = 1856.
    EXPECT_EQ(amigaPeriod(47, -48), 1856);
    // f = -128 is a whole semitone down: k = -8, w = 0: T[-8] = 2 x T[88] = 960 (A#), x 2.
    EXPECT_EQ(amigaPeriod(47, -128), 1920);
    EXPECT_EQ(amigaPeriod(47, -128), amigaPeriod(46, 0));
    // A# (m = 59) at f = 127: k = 95, w = 127/128; T[96] = T[0] / 2 = 453.5:
    // trunc(457 / 128 + 453.5 x 127 / 128) = 453, x 32 / 16 = 906.
    EXPECT_EQ(amigaPeriod(58, 127), 906);
    // Inside the table nothing changes: f = 0 everywhere, and B at f = +16.
    EXPECT_EQ(amigaPeriod(47, 0), 1814);
    EXPECT_EQ(amigaPeriod(58, 0), 960); // T[88] = 480, x 2
    // B at f = 16: k = 1, w = 0.125: trunc(900 x 0.875 + 894 x 0.125) = 899, x 2.
    EXPECT_EQ(amigaPeriod(47, 16), 1798);
}

TEST(Periods, StepsFromBothSystems)
{
    PitchTable table;
    table.build(44100);
    // 8363 / 44100 = 0.18963...: 0.18963 x 65536 = 12428.06.
    EXPECT_EQ(table.step(4608), (Step{0, 12428u << 16}));
    EXPECT_EQ(table.step(5), Step{});                // entries 0..8 are 0
    EXPECT_EQ(table.step(-40), Step{});              // below the table: still
    EXPECT_EQ(table.step(25000), table.step(19999)); // above: the last entry
    // 768 below 4608 doubles the step: 0.37927 x 65536 = 24856.1.
    EXPECT_EQ(table.step(3840), (Step{0, 24856u << 16}));
    EXPECT_EQ(amigaStep(1712, 44100), (Step{0, 12428u << 16})); // 14317456 / 1712 = 8363
    EXPECT_EQ(amigaStep(0, 44100), Step{});
    // 14317456 / 100 / 11000 = 13 + 17456 / 1100000: 17456 x 65536 / 1100000 = 1039.996.
    EXPECT_EQ(amigaStep(100, 11000), (Step{13, 1039u << 16}));
}

TEST(Periods, PeriodToNoteFillsGapsFromAbove)
{
    EXPECT_EQ(noteOfPeriod(1712), 48);
    EXPECT_EQ(noteOfPeriod(1713), 47); // nearest filled entry above: 1814
    EXPECT_EQ(noteOfPeriod(1814), 47);
    EXPECT_EQ(noteOfPeriod(50), 95);   // below every note: the highest note
    // Notes 0..5 (27392 down to 20480) are all clamped to 19999; the last one wins.
    EXPECT_EQ(noteOfPeriod(19999), 5);
    EXPECT_EQ(noteOfPeriod(19998), 5); // empty: the nearest filled entry above is 19999
    EXPECT_EQ(noteOfPeriod(19328), 6); // note 6: m = 7, k = 56, 604 x 32
}

// A flat sample's notes lie above their finetune-0 periods, where the table
// holds the note below; the finetune-aware lookup finds the played note.
TEST(Periods, NoteOfAFinetunedPeriod)
{
    // Note 48 at finetune -48: k = 8 - 3 = 5, w = -0.375:
    // trunc(875 x 1.375 - 868 x 0.375) = 877, x 2 = 1754.
    ASSERT_EQ(amigaPeriod(48, -48), 1754);
    EXPECT_EQ(noteOfPeriod(1754), 47);     // the table: nearest entry above is 1814
    EXPECT_EQ(noteOfPeriod(1754, -48), 48);
    EXPECT_EQ(noteOfPeriod(1760, -48), 47); // between 47 and 48 at this finetune: the lower note
    // Finetune +64 (note 48 at 1658, below 1712): the table already agrees.
    EXPECT_EQ(noteOfPeriod(1658), 48);
    EXPECT_EQ(noteOfPeriod(1658, 64), 48);
    // Finetune 0 is the table itself.
    for (int p : {50, 1712, 1713, 1814, 19328, 19999})
        EXPECT_EQ(noteOfPeriod(p, 0), noteOfPeriod(p)) << p;
}

TEST(Periods, AutoVibratoSine)
{
    const auto& s = autoVibratoSine();
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], -2);
    EXPECT_EQ(s[2], -3);
    EXPECT_EQ(s[3], -5);
    EXPECT_EQ(s[64], -64);
    EXPECT_EQ(s[128], 0);
    EXPECT_EQ(s[192], 64);
}

// ---------------------------------------------------------------- timing

TEST(PlayerTiming, TicksPerRowAndTheFirstRowsDelay)
{
    XmModule m = module(1);
    at(m, 0, 0) = {0, 0, 0, 32, 1};
    at(m, 1, 0) = {0, 0, 0, 15, 150}; // F96: BPM 150 from row 1's tick on
    at(m, 2, 0) = {0, 0, 0, 32, 2};
    at(m, 3, 0) = {0, 0, 0, 32, 3};
    Player player(m);
    EXPECT_EQ(player.song->framesPerTick, 882); // 44100 / 50
    std::vector<SyncNotice> notices;
    player.song->setSyncListener([&](const SyncNotice& n) { notices.push_back(n); });
    std::vector<std::uint8_t> buffer(13216);
    for (int i = 0; i < 6; ++i)
        player.song->fillBuffer(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    ASSERT_GE(notices.size(), 3u);
    // Speed 6: the first row is read on the sixth tick, after 6 x 882 frames.
    EXPECT_EQ(notices[0].frame, 6u * 882);
    EXPECT_EQ(notices[0].value, 1);
    // Row 0 lasts 6 ticks of 882; from row 1's tick on a tick is 735 frames.
    EXPECT_EQ(notices[1].value, 2);
    EXPECT_EQ(notices[1].frame, 6u * 882 + 6u * 882 + 6u * 735);
    EXPECT_EQ(notices[2].frame, 6u * 882 + 6u * 882 + 12u * 735);
    EXPECT_EQ(player.song->framesPerTick, 735);
}

TEST(PlayerTiming, TickLengthAtOtherRates)
{
    XmModule m = module(1);
    Player at22(m, 22050);
    EXPECT_EQ(at22.song->framesPerTick, 441);
    m.bpm = 32;
    Player slow(m, 11000);
    EXPECT_EQ(slow.song->framesPerTick, 859); // 11000 x 5 / 64 = 859.4 (not 11000 / 12 = 916)
    m.bpm = 0; // no defined tick length: guarded, one tick per second
    Player none(m, 11000);
    EXPECT_EQ(none.song->framesPerTick, 11000);
}

// Tempos whose tick rate BPM x 2 / 5 is not whole keep their speed: real
// modules use F85 (BPM 133) and BPM 108, which lost 0.4 % when the tick rate
// was truncated first, and BPM 127 lost 1.6 %.
TEST(PlayerTiming, TickLengthForTemposBetweenWholeTickRates)
{
    XmModule m = module(1);
    m.bpm = 133;
    EXPECT_EQ(Player(m).song->framesPerTick, 828); // 220500 / 266 = 828.9
    m.bpm = 108;
    EXPECT_EQ(Player(m).song->framesPerTick, 1020); // 220500 / 216 = 1020.8
    m.bpm = 127;
    EXPECT_EQ(Player(m).song->framesPerTick, 868); // 220500 / 254 = 868.1
    m.bpm = 255;
    EXPECT_EQ(Player(m, 11000).song->framesPerTick, 107); // 55000 / 510 = 107.8
    // Set by Fxx during playback as well.
    m.bpm = 125;
    at(m, 0, 0) = {0, 0, 0, 15, 133};
    Player player(m);
    player.ticks(6);
    EXPECT_EQ(player.song->framesPerTick, 828);
}

TEST(PlayerTiming, NothingLoadedPlaysSilence)
{
    auto song = std::make_unique<Song>();
    song->start(44100);
    song->syncReset(10);
    std::vector<std::int16_t> buffer(2 * 5000, 123);
    song->fillBuffer(buffer.data(), static_cast<std::uint32_t>(2 * buffer.size()));
    for (std::int16_t v : buffer)
        ASSERT_EQ(v, 0);
}

// ---------------------------------------------------------------- row and tick effects

TEST(PlayerEffects, RowEffectsOnTickZeroTickEffectsAfter)
{
    XmModule m = module(3);
    at(m, 0, 0) = {C4, 1, 0x20, 0xA, 0x10}; // volume 16, A10: +1 on ticks 1..5
    at(m, 0, 1) = {C4, 1, 0, 0xE, 0xC3};     // EC3: silent on tick 3
    at(m, 0, 2) = {C4, 1, 0, 0xE, 0xD2};     // ED2: starts on tick 2
    Player p(m);
    p.ticks(6); // the row tick
    EXPECT_EQ(p.ch(0).volume, 16);
    EXPECT_EQ(p.ch(1).volume, 64);
    EXPECT_EQ(p.ch(2).active, 0);
    p.ticks(1);
    EXPECT_EQ(p.ch(0).volume, 17);
    EXPECT_EQ(p.ch(2).active, 0);
    p.ticks(1); // tick 2
    EXPECT_EQ(p.ch(2).active, 1);
    EXPECT_EQ(p.ch(2).volume, 64);
    EXPECT_EQ(p.ch(1).volume, 64);
    p.ticks(1); // tick 3
    EXPECT_EQ(p.ch(1).volume, 0);
    EXPECT_EQ(p.ch(1).finalVolume, 0);
    p.ticks(2);
    EXPECT_EQ(p.ch(0).volume, 21);
}

TEST(PlayerEffects, JumpAndBreakCombineInChannelOrder)
{
    for (bool breakFirst : {false, true}) {
        XmModule m = module(2, 8);
        at(m, 0, breakFirst ? 0 : 1) = {0, 0, 0, 0xD, 0x10}; // break to row 10
        at(m, 0, breakFirst ? 1 : 0) = {0, 0, 0, 0xB, 0x05}; // jump to position 5
        Player p(m);
        p.ticks(6);
        EXPECT_EQ(p.song->orderPosition, 5);
        EXPECT_EQ(p.song->nextRow, breakFirst ? 0 : 10) << breakFirst;
    }
}

TEST(PlayerEffects, BreakAloneGoesToTheNextPositionAndJumpWrapsToRestart)
{
    XmModule m = module(1, 3);
    m.restart = 1;
    at(m, 0, 0) = {0, 0, 0, 0xD, 0x21};
    Player p(m);
    p.ticks(6);
    EXPECT_EQ(p.song->orderPosition, 1);
    EXPECT_EQ(p.song->nextRow, 21);
    XmModule j = module(1, 3);
    j.restart = 1;
    at(j, 0, 0) = {0, 0, 0, 0xB, 0x09}; // beyond the song: the restart position
    Player q(j);
    q.ticks(6);
    EXPECT_EQ(q.song->orderPosition, 1);
}

TEST(PlayerEffects, PatternLoopAndPatternDelay)
{
    XmModule m = module(2);
    m.speed = 1; // every tick is a row tick
    for (int r = 0; r < 8; ++r)
        at(m, r, 1) = {0, 0, 0, 32, static_cast<std::uint8_t>(r)}; // each row names itself
    at(m, 1, 0) = {0, 0, 0, 0xE, 0x60};
    at(m, 3, 0) = {0, 0, 0, 0xE, 0x62};
    at(m, 5, 0) = {0, 0, 0, 0xE, 0xE2};
    Player p(m);
    std::vector<int> rows;
    int lastRowTick = -1;
    p.song->setSyncListener([&](const SyncNotice& n) { rows.push_back(n.value); });
    for (int i = 0; i < 15; ++i) {
        const std::size_t before = rows.size();
        p.ticks(1);
        if (rows.size() == before)
            rows.push_back(lastRowTick); // a pattern-delay tick reads no row
        lastRowTick = rows.back();
    }
    // Rows 1-3 three times; row 5 held for two more row ticks.
    const std::vector<int> expected = {0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 5, 5, 6};
    EXPECT_EQ(rows, expected);
}

TEST(PlayerEffects, NoteDelayRepeatsOnPatternDelay)
{
    XmModule m = module(1);
    m.speed = 2;
    at(m, 0, 0) = {C4, 1, 0x30, 0xE, 0xE1}; // pattern delay 1
    at(m, 1, 0) = {C4, 1, 0, 0xE, 0xD0};    // ED0: a delayed note that falls on tick 0
    Player p(m);
    p.ticks(2);
    EXPECT_EQ(p.ch(0).volume, 32);
    p.ticks(2); // row 0 repeated by the pattern delay
    p.ticks(2); // row 1: ED0 triggers on pass 1 of tick 0
    EXPECT_EQ(p.ch(0).volume, 64);
}

TEST(PlayerEffects, VolumeColumnAndPanning)
{
    XmModule m = module(1);
    at(m, 0, 0) = {C4, 1, 0x50, 0x8, 0x40}; // volume 64, panning 0x40
    at(m, 1, 0) = {0, 0, 0x84, 0, 0};       // fine volume down 4 at the row
    at(m, 2, 0) = {0, 0, 0x62, 0, 0};       // volume slide down 2 a tick
    at(m, 3, 0) = {0, 0, 0xC3, 0, 0};       // panning 3 x 16
    Player p(m);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).panning, 0x40);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).volume, 60);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).volume, 60); // row 2's slide runs on the ticks after its row tick
    p.ticks(6);
    EXPECT_EQ(p.ch(0).volume, 50);
    EXPECT_EQ(p.ch(0).panning, 48);
}

TEST(PlayerEffects, ArpeggioInBothPeriodSystems)
{
    for (bool linear : {true, false}) {
        XmModule m = module(1);
        m.linear = linear;
        at(m, 0, 0) = {C4, 1, 0, 0x0, 0x47};
        Player p(m);
        p.ticks(6);
        const int base = linear ? 4608 : 1712;
        EXPECT_EQ(p.ch(0).finalPeriod, base);
        p.ticks(1); // +4 semitones
        // Linear: -64 x 4. Amiga: note 52 is m = 53, k = 40: 678 x 2 = 1356.
        EXPECT_EQ(p.ch(0).finalPeriod, linear ? 4608 - 256 : 1356) << linear;
        p.ticks(1); // +7
        EXPECT_EQ(p.ch(0).finalPeriod, linear ? 4608 - 448 : amigaPeriod(55, 0)) << linear;
        p.ticks(1); // none
        EXPECT_EQ(p.ch(0).finalPeriod, base);
    }
}

// A MOD sample's finetune nibble counts eighths of a semitone, so a sample
// tuned +4 plays C-2 (period 428) half a semitone sharp, as trackers tune it.
TEST(PlayerEffects, ModFinetuneIsEighthsOfASemitone)
{
    for (std::uint8_t nibble : {0, 4, 12}) {
        ModModule m;
        ModSample s;
        s.lengthWords = 64;
        s.finetune = nibble;
        s.loopStartWords = 0;
        s.loopLengthWords = 64;
        s.data.assign(128, 50);
        m.samples = {s};
        m.patterns.assign(1, std::vector<ModCell>(64 * 4));
        m.patterns[0][0] = {428, 1, 0, 0};
        auto song = std::make_unique<Song>();
        ASSERT_TRUE(readModule(*song, writeMod(m)).loaded());
        song->start(44100);
        song->syncReset(600);
        for (int i = 0; i < 6; ++i)
            song->playTick();
        // Note index 23 + relative note 25 = 48: m = 49, k = 8 + f / 16.
        // f = 0: T[8] = 856, x 32 / 16 = 1712.
        // f = 64: k = 12, w = 0.5: trunc(832 x 0.5 + 826 x 0.5) = 829, x 2 = 1658.
        // f = -64: k = 4, w = -0.5: trunc(881 x 1.5 - 875 x 0.5) = 884, x 2 = 1768.
        const int expected = nibble == 0 ? 1712 : nibble == 4 ? 1658 : 1768;
        EXPECT_EQ(song->channels[0].period, expected) << int(nibble);
        EXPECT_EQ(song->channels[0].finetune, nibble == 0 ? 0 : nibble == 4 ? 64 : -64);
    }
}

// Amiga arpeggio and glissando on a sample tuned flat: the intervals are
// counted from the note played, not from the semitone below it.
TEST(PlayerEffects, AmigaArpeggioAndGlissandoOnAFlatSample)
{
    XmModule m = module(1);
    m.linear = false;
    m.instruments[0].samples[0].finetune = -48;
    at(m, 0, 0) = {C4, 1, 0, 0x0, 0x47};
    Player p(m);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).finalPeriod, 1754);
    p.ticks(1); // +4 semitones: note 52, m = 53, k = 40 - 3 = 37, w = -0.375:
    // trunc(694 x 1.375 - 689 x 0.375) = 695, x 32 / 16 = 1390 (not note 51's 1476).
    EXPECT_EQ(p.ch(0).finalPeriod, 1390);

    XmModule g = module(1);
    g.linear = false;
    g.instruments[0].samples[0].finetune = -48;
    at(g, 0, 0) = {C4, 1, 0, 0xE, 0x31}; // glissando on
    at(g, 1, 0) = {C4 + 4, 1, 0, 0x3, 0x01};
    Player q(g);
    q.ticks(12);
    EXPECT_EQ(q.ch(0).period, 1754);
    q.ticks(1); // glissando period 1750 still snaps to the played note (not to 1814)
    EXPECT_EQ(q.ch(0).glissandoPeriod, 1750);
    EXPECT_EQ(q.ch(0).period, 1754);
}

TEST(PlayerEffects, TonePortamentoWithAndWithoutGlissando)
{
    for (bool glissando : {false, true}) {
        XmModule m = module(1);
        at(m, 0, 0) = {C4, 1, 0, 0xE, glissando ? std::uint8_t{0x31} : std::uint8_t{0x30}};
        at(m, 1, 0) = {C4 + 4, 0, 0, 0x3, 10}; // target 4352, 40 a tick
        at(m, 2, 0) = {0, 0, 0, 0x3, 0};       // continues from memory
        at(m, 3, 0) = {0, 0, 0, 0x3, 0};
        Player p(m);
        p.ticks(12);
        EXPECT_EQ(p.ch(0).period, 4608);
        EXPECT_EQ(p.ch(0).tonePortaTarget, 4352);
        p.ticks(1);
        // 4568 without glissando; with it snapped to the nearest semitone:
        // 7680 - 64 x ((4568 - 32 - 7680) / -64) = 4544.
        EXPECT_EQ(p.ch(0).period, glissando ? 4544 : 4568);
        p.ticks(4);
        // 4608 - 200 = 4408; snapped: 7680 - 64 x 51 = 4416.
        EXPECT_EQ(p.ch(0).period, glissando ? 4416 : 4408);
        p.ticks(6 + 6);
        EXPECT_EQ(p.ch(0).period, 4352); // stops at the target
        EXPECT_EQ(p.ch(0).effect, 0);
        EXPECT_EQ(p.ch(0).parameter, 0);
    }
}

TEST(PlayerEffects, PortamentoUpDownAndFineSlides)
{
    XmModule m = module(1);
    at(m, 0, 0) = {C4, 1, 0, 0x1, 0x02}; // up 8 a tick
    at(m, 1, 0) = {0, 0, 0, 0x2, 0x00};  // down, memory 0: nothing
    at(m, 2, 0) = {0, 0, 0, 0xE, 0x13};  // fine up 12 at the row
    at(m, 3, 0) = {0, 0, 0, 33, 0x25};   // extra fine down 5
    Player p(m);
    p.ticks(12);
    EXPECT_EQ(p.ch(0).period, 4608 - 40);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).period, 4608 - 40 - 12);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).period, 4608 - 40 - 12 + 5);
}

TEST(PlayerEffects, VibratoSineWorkedByHand)
{
    XmModule v = module(1);
    for (int r = 0; r < 2; ++r)
        at(v, r, 0) = {r == 0 ? C4 : std::uint8_t{0}, r == 0 ? std::uint8_t{1} : std::uint8_t{0}, 0, 0x4, 0x84};
    Player q(v);
    q.ticks(6);
    std::vector<int> offsets;
    for (int i = 0; i < 5; ++i) {
        q.ticks(1);
        offsets.push_back(q.ch(0).vibratoOffset);
    }
    q.ticks(1); // row 1: vibrato continues, the row tick runs no vibrato
    q.ticks(1);
    offsets.push_back(q.ch(0).vibratoOffset);
    // Speed 8, depth 4: (s x 4 x 4) / 128 for q = 0, 8, 16, 24 (s = 0, 180, 255, 180),
    // then q = 32 - 63 = -31 (q & 31 = 1: s = 24, negated), then q = -23 (q & 31 = 9: s = 197, negated).
    EXPECT_EQ(offsets, (std::vector<int>{0, 22, 31, 22, -3, -24}));
    EXPECT_EQ(q.ch(0).finalPeriod, 4608 - 24);
}

TEST(PlayerEffects, TremoloTremorAndMultiRetrigger)
{
    XmModule m = module(3);
    at(m, 0, 0) = {C4, 1, 0x40, 0x7, 0x12}; // tremolo speed 1 depth 2, volume 48
    at(m, 0, 1) = {C4, 1, 0, 29, 0x12};     // tremor: on 2 ticks, off 3
    at(m, 0, 2) = {C4, 1, 0x40, 27, 0x12};  // R12: every 2 ticks, volume - 1
    m.speed = 8;
    Player p(m);
    p.ticks(8);
    EXPECT_EQ(p.ch(2).volume, 48);
    std::vector<int> gates, retriggerVolumes;
    for (int i = 0; i < 7; ++i) {
        p.ch(2).positionInt = 77;
        p.ticks(1);
        gates.push_back(p.ch(1).leftGain > 0 ? 1 : 0);
        retriggerVolumes.push_back(p.ch(2).volume);
    }
    // Tremor counter 1, 2 sound; 3, 4, 5 silent; then 1, 2 again.
    EXPECT_EQ(gates, (std::vector<int>{1, 1, 0, 0, 0, 1, 1}));
    // Counter -1 -> 0 at the row; ticks 1..7: restart at 2, 4, 6.
    EXPECT_EQ(retriggerVolumes, (std::vector<int>{48, 47, 47, 46, 46, 45, 45}));
    // Tremolo sine, speed 1, depth 2: (s x 2) / 64 for s = 0, 24, 49, ...
    EXPECT_EQ(p.ch(0).tremoloPosition, 7);
    EXPECT_EQ(p.ch(0).tremoloOffset, (141 * 2) / 64);
}

// A row that shortens the multi-retrigger interval below the ticks already
// counted retriggers at once and then at the new interval (it used to wait
// for a count it had passed, which fell silent for good).
TEST(PlayerEffects, MultiRetriggerIntervalShortenedMidCount)
{
    XmModule m = module(1);
    at(m, 0, 0) = {C4, 1, 0, 27, 0x04}; // R04: counter -1 -> 0 at the row, restart at tick 4
    at(m, 1, 0) = {0, 0, 0, 27, 0x01};  // R01 with the counter at 1
    Player p(m);
    p.ticks(6);
    std::vector<int> restarts;
    for (int i = 0; i < 11; ++i) {
        p.ch(0).positionInt = 77;
        p.ticks(1);
        restarts.push_back(p.ch(0).positionInt == 0 ? 1 : 0);
    }
    // Row 0, ticks 1..5: counts 1, 2, 3, 4 (restart, 0), 1.
    // Row 1: the row step counts 2, past 1: restart; then every tick.
    EXPECT_EQ(restarts, (std::vector<int>{0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1}));
}

TEST(PlayerEffects, KeyOffWithoutEnvelopeSilencesAndSampleOffset)
{
    XmModule m = module(2);
    at(m, 0, 0) = {C4, 1, 0, 0x9, 0x01}; // start at frame 256... of 256: brought back to the end by the mixer
    at(m, 0, 1) = {C4, 1, 0, 0, 0};
    at(m, 1, 1) = {97, 0, 0, 0, 0};
    Player p(m);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).positionInt, 256);
    EXPECT_EQ(p.ch(0).sampleOffsetMemory, 1);
    p.ticks(6);
    EXPECT_EQ(p.ch(1).volume, 0);
    EXPECT_EQ(p.ch(1).keyReleased, 1);
}

TEST(PlayerEffects, NotesWithoutInstrumentsOrSamplesStaySilent)
{
    XmModule m = module(3);
    at(m, 0, 0) = {C4, 0, 0, 0, 0};   // never had an instrument: ignored
    at(m, 0, 1) = {C4, 9, 0, 0, 0};   // no such instrument: volume 0
    at(m, 0, 2) = {120, 1, 0, 0, 0};  // not a note: ignored
    XmInstrument empty;
    m.instruments.push_back(empty);
    Player p(m);
    p.ticks(12);
    EXPECT_EQ(p.ch(0).active, 0);
    EXPECT_EQ(p.ch(1).active, 0);
    EXPECT_EQ(p.ch(1).volume, 0);
    EXPECT_EQ(p.ch(2).active, 0);
}

// ---------------------------------------------------------------- envelopes

TEST(Envelopes, InterpolationSustainAndLoop)
{
    Envelope e;
    e.points[0] = {0, 64};
    e.points[1] = {10, 0};
    e.numPoints = 2;
    e.type = 1;
    decodeEnvelopeType(e);
    EnvelopeState s;
    s.envelope = &e;
    restartEnvelope(s);
    s.position = 5;
    evaluateEnvelope(s, 64, false, 0);
    EXPECT_EQ(s.output, 32);
    EXPECT_EQ(s.position, 5);
    evaluateEnvelope(s, 64, false, 1);
    EXPECT_EQ(s.position, 6);
    s.position = 30; // past the last point: its value, position stays
    evaluateEnvelope(s, 64, false, 1);
    EXPECT_EQ(s.output, 0);
    EXPECT_EQ(s.position, 30);

    // Sustain at point 1 (x 4, y 40) until the key is released.
    Envelope h;
    h.points[0] = {0, 0};
    h.points[1] = {4, 40};
    h.points[2] = {8, 20};
    h.numPoints = 3;
    h.sustainPoint = 1;
    h.type = 1 | 2;
    decodeEnvelopeType(h);
    EnvelopeState t;
    t.envelope = &h;
    restartEnvelope(t);
    std::vector<int> out;
    for (int i = 0; i < 8; ++i) {
        evaluateEnvelope(t, 64, i >= 6, 1);
        out.push_back(t.output);
    }
    // 0, 10, 20, 30, then held at 40 until the release at tick 6 (which still holds), then on.
    EXPECT_EQ(out, (std::vector<int>{0, 10, 20, 30, 40, 40, 40, 40}));
    evaluateEnvelope(t, 64, true, 1);
    EXPECT_EQ(t.output, 35); // 40 + (20 - 40) x (5 - 4) / 4

    // Loop from point 1 to point 2: at x 8 the position jumps back to 4.
    Envelope l = h;
    l.loopStartPoint = 1;
    l.loopEndPoint = 2;
    l.type = 1 | 4;
    decodeEnvelopeType(l);
    EnvelopeState u;
    u.envelope = &l;
    restartEnvelope(u);
    out.clear();
    for (int i = 0; i < 12; ++i) {
        evaluateEnvelope(u, 64, false, 1);
        out.push_back(u.output);
    }
    EXPECT_EQ(out, (std::vector<int>{0, 10, 20, 30, 40, 35, 30, 25, 40, 35, 30, 25}));
}

TEST(Envelopes, GuardsAndAbsentEnvelopes)
{
    EnvelopeState none;
    evaluateEnvelope(none, 32, false, 1);
    EXPECT_EQ(none.output, 32);
    Envelope empty;
    empty.type = 1;
    decodeEnvelopeType(empty); // on, with no points
    EnvelopeState s;
    s.envelope = &empty;
    evaluateEnvelope(s, 64, false, 1);
    EXPECT_EQ(s.output, 64);
    Envelope same;
    same.points[0] = {5, 10};
    same.points[1] = {5, 50}; // two points at the same x
    same.numPoints = 2;
    same.type = 1;
    decodeEnvelopeType(same);
    EnvelopeState t;
    t.envelope = &same;
    evaluateEnvelope(t, 64, false, 1); // position 0 lies before both
    EXPECT_EQ(t.output, 10);
}

TEST(Envelopes, VolumeEnvelopeFadeOutAndFinalVolume)
{
    XmModule m = module(1);
    XmInstrument& ins = m.instruments[0];
    ins.volumeEnvelope.points = {{0, 64}, {2, 32}};
    ins.volumeEnvelope.type = 1;
    ins.fadeOut = 16384;
    at(m, 0, 0) = {C4, 1, 0, 0, 0};
    at(m, 1, 0) = {97, 0, 0, 0, 0};
    Player p(m);
    p.ticks(6);
    // Row tick: envelope at 0 (64) -> final volume 256, gains 63 at centre.
    EXPECT_EQ(p.ch(0).finalVolume, 256);
    EXPECT_EQ(p.ch(0).leftGain, 63);
    EXPECT_EQ(p.ch(0).rightGain, 63);
    p.ticks(1); // envelope position 0 -> output 64, position 1
    p.ticks(1); // output 48
    EXPECT_EQ(p.ch(0).finalVolume, 192);
    p.ticks(4); // row 1's tick: key-off; the fade starts on the same tick
    EXPECT_EQ(p.ch(0).keyReleased, 1);
    EXPECT_EQ(p.ch(0).fadeOutLevel, 65536 - 16384);
    // 32/64 x 0.75 x 1 x 1 x 256 = 96.
    EXPECT_EQ(p.ch(0).finalVolume, 96);
}

// Kxx releases the key exactly as a key-off note on the same tick does (K00
// against a key-off note, K03 against a key-off note delayed by ED3), tick
// for tick: envelope, sustain and fade-out. The volume itself is left alone,
// so a note without an envelope plays on.
TEST(Envelopes, KeyOffEffectReleasesAsAKeyOffNoteOnItsTick)
{
    XmModule m = module(5);
    XmInstrument env = m.instruments[0];
    env.volumeEnvelope.points = {{0, 64}, {3, 48}, {9, 0}};
    env.volumeEnvelope.sustain = 1;
    env.volumeEnvelope.type = 3; // on, sustain at x = 3
    env.panningEnvelope = env.volumeEnvelope;
    env.fadeOut = 1000;
    m.instruments.push_back(env);
    for (int c = 0; c < 4; ++c)
        at(m, 0, c) = {C4, 2, 0, 0, 0};
    at(m, 0, 4) = {C4, 1, 0, 0, 0}; // no envelope
    at(m, 1, 0) = {97, 0, 0, 0, 0};
    at(m, 1, 1) = {0, 0, 0, 20, 0};   // K00
    at(m, 1, 2) = {97, 0, 0, 0xE, 0xD3}; // key-off note on tick 3
    at(m, 1, 3) = {0, 0, 0, 20, 3};   // K03
    at(m, 1, 4) = {0, 0, 0, 20, 0};
    Player p(m);
    p.ticks(11);
    for (int tick = 0; tick < 16; ++tick) {
        p.ticks(1);
        for (int pair : {0, 2}) {
            const Channel& note = p.ch(pair);
            const Channel& effect = p.ch(pair + 1);
            ASSERT_EQ(effect.keyReleased, note.keyReleased) << pair << " " << tick;
            ASSERT_EQ(effect.volumeEnvelope.output, note.volumeEnvelope.output) << pair << " " << tick;
            ASSERT_EQ(effect.panningEnvelope.output, note.panningEnvelope.output) << pair << " " << tick;
            ASSERT_EQ(effect.fadeOutLevel, note.fadeOutLevel) << pair << " " << tick;
            ASSERT_EQ(effect.finalVolume, note.finalVolume) << pair << " " << tick;
        }
    }
    EXPECT_EQ(p.ch(1).volumeEnvelope.output, 0); // released and run to the end
    EXPECT_EQ(p.ch(3).keyReleased, 1);
    EXPECT_EQ(p.ch(4).keyReleased, 1);
    EXPECT_EQ(p.ch(4).volume, 64);
    EXPECT_GT(p.ch(4).leftGain, 0);
}

// A note with tone portamento slides to its pitch on the sample that plays
// on (relative note +12 here), not on the one its key maps to (relative note
// 0, finetune 64), and the channel keeps its sample.
TEST(PlayerEffects, TonePortamentoTargetsThePlayingSample)
{
    XmModule m = module(1);
    XmInstrument& ins = m.instruments[0];
    ins.samples[0].relativeNote = 12;
    XmSample other = ins.samples[0];
    other.relativeNote = 0;
    other.finetune = 64;
    other.frames = squareWave(256, 20);
    ins.samples.push_back(other);
    ins.keymap.assign(96, 0);
    for (int k = 60; k < 96; ++k)
        ins.keymap[static_cast<std::size_t>(k)] = 1;
    const struct {
        std::uint8_t volume, effect, parameter;
    } slides[] = {{0, 0x3, 0x10}, {0, 0x5, 0x00}, {0xF1, 0, 0}};
    for (const auto& slide : slides) {
        at(m, 0, 0) = {C4, 1, 0, 0, 0}; // index 48 + 12: (120 - 60) x 64 = 3840
        at(m, 1, 0) = {73, 1, slide.volume, slide.effect, slide.parameter};
        Player p(m);
        p.play(6);
        ASSERT_EQ(p.ch(0).period, 3840);
        const std::uint8_t* data = p.ch(0).sampleData;
        p.play(6);
        // Index 72 + 12 at finetune 0: (120 - 84) x 64 = 2304 (the mapped sample would give 3040).
        EXPECT_EQ(p.ch(0).tonePortaTarget, 2304) << int(slide.effect);
        EXPECT_EQ(p.ch(0).sampleData, data);
        EXPECT_EQ(p.ch(0).sampleNumber, 0);
        EXPECT_EQ(p.ch(0).period, 3840); // slides from there
        EXPECT_GT(p.ch(0).positionInt, 0); // not restarted
    }
}

// The real note (index + relative note) must lie in 0..118: beyond it the
// note changes nothing but the instrument, which then acts as in a cell
// without a note: the volume goes back to the playing sample's (64), where a
// played note takes its new sample's (30).
TEST(PlayerEffects, NotesBeyondThePlayableRangeAreIgnored)
{
    const struct {
        std::uint8_t note;
        std::int8_t relative;
        int period; // 0: ignored
    } cases[] = {
        {96, 24, 0},                    // B-7 + 2 octaves: 119
        {96, 23, (120 - 118) * 64},     // 118: the highest
        {1, -1, 0},                     // below C-0
        {1, 0, 120 * 64},
    };
    for (const auto& c : cases) {
        XmModule m = module(1);
        XmInstrument second = m.instruments[0];
        second.samples[0].relativeNote = c.relative;
        second.samples[0].volume = 30;
        m.instruments.push_back(second);
        at(m, 0, 0) = {C4, 1, 0, 0, 0};
        at(m, 1, 0) = {c.note, 2, 0, 0, 0};
        Player p(m);
        p.play(6 + 5);
        const int before = p.ch(0).positionInt;
        p.play(1);
        EXPECT_EQ(p.ch(0).instrument, &p.song->instruments[1]) << int(c.note) << " " << int(c.relative);
        EXPECT_EQ(p.ch(0).volume, c.period == 0 ? 64 : 30);
        if (c.period == 0) {
            EXPECT_EQ(p.ch(0).period, 4608);
            EXPECT_GT(p.ch(0).positionInt, before);
        } else {
            EXPECT_EQ(p.ch(0).period, c.period);
            EXPECT_LT(p.ch(0).positionInt, before);
        }
    }
}

TEST(Gains, CentreAndSidesWithBothAmplifications)
{
    XmModule m = module(4);
    at(m, 0, 0) = {C4, 1, 0, 0x8, 0};   // hard left
    at(m, 0, 1) = {C4, 1, 0, 0x8, 255}; // hard right
    at(m, 0, 2) = {C4, 1, 0, 0x8, 128};
    Player four(m); // four channels: amplification 9 once the output starts
    four.ticks(6);
    EXPECT_EQ(four.song->amplification, 9);
    EXPECT_EQ(four.ch(2).leftGain, 71);
    EXPECT_EQ(four.ch(2).rightGain, 71);
    EXPECT_EQ(four.ch(0).leftGain, 71);
    EXPECT_EQ(four.ch(0).rightGain, 0); // 2 x 0 - 1 = -1 -> 0
    EXPECT_EQ(four.ch(1).leftGain, 0);  // 511 - 510 = 1: 9 x (256 x 1 / 256) / 32 = 0
    EXPECT_EQ(four.ch(1).rightGain, 71);
    XmModule five = module(5);
    at(five, 0, 0) = {C4, 1, 0, 0, 0};
    Player p(five);
    p.ticks(6);
    EXPECT_EQ(p.ch(0).leftGain, 63);
}

// ---------------------------------------------------------------- markers

TEST(Markers, DueAtTickTimePlusLatencyMinus100ExactlyOnce)
{
    XmModule m = module(4);
    at(m, 0, 3) = {0, 0, 0, 32, 0x10}; // W10 on channel 3
    Player p(m);
    p.clock.set(5000);
    p.ticks(6); // read at tick time T = 5000
    ASSERT_EQ(p.song->syncEvents.pending(), 1);
    p.clock.set(5000 + 600 - 100 - 1);
    EXPECT_EQ(p.song->takeSync(16), -1);
    p.clock.set(5000 + 500);
    EXPECT_EQ(p.song->takeSync(16), 16);
    EXPECT_EQ(p.song->takeSync(16), -1);
    p.clock.advance(10000);
    EXPECT_EQ(p.song->takeSync(16), -1);
    EXPECT_EQ(p.song->syncEvents.pending(), 0);
}

TEST(Markers, TwoOccurrencesReachedBeforeAskingAreAnsweredTwice)
{
    XmModule m = module(2);
    at(m, 0, 0) = {0, 0, 0, 32, 1};
    at(m, 1, 1) = {0, 0, 0, 32, 1};
    at(m, 2, 0) = {0, 0, 0, 32, 255};
    Player p(m);
    p.ticks(18);
    p.clock.advance(1000);
    EXPECT_EQ(p.song->takeSync(255), 255); // the other values stay pending
    EXPECT_EQ(p.song->takeSync(1), 1);
    EXPECT_EQ(p.song->takeSync(1), 1);
    EXPECT_EQ(p.song->takeSync(1), -1);
    EXPECT_EQ(p.song->takeSync(257), -1); // 257 & 0xFF = 1
}

TEST(Markers, SilentDriverLatencyIsDueAtOnceAndFullTableDrops)
{
    XmModule m = module(1);
    at(m, 0, 0) = {0, 0, 0, 32, 7};
    Player p(m);
    p.song->syncReset(10); // T - 90: already due
    p.clock.set(100);
    p.ticks(6);
    EXPECT_EQ(p.song->takeSync(7), 7);

    SyncEventTable table;
    table.create(2048);
    for (int i = 0; i < 2048; ++i)
        ASSERT_TRUE(table.add(0, 1, 0));
    EXPECT_FALSE(table.add(0, 1, 0));
    std::array<std::uint8_t, 256> counters{};
    table.collectDue(0, counters);
    EXPECT_EQ(counters[1], 0); // 2048 occurrences wrap the 8-bit counter to 0
    table.release();
    EXPECT_FALSE(table.add(0, 1, 0));
}

TEST(Markers, EventsArePublishedCompleteAcrossThreads)
{
    // One thread adds, this thread collects; every event arrives once, whole.
    SyncEventTable table;
    table.create(64);
    constexpr int kEvents = 20000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kEvents; ++i)
            while (!table.add(static_cast<std::uint16_t>(i % 7), static_cast<std::uint16_t>(i % 256), i)) {
            }
        done = true;
    });
    std::array<std::uint8_t, 256> counters{};
    std::array<int, 256> totals{};
    while (!done || table.pending() > 0) {
        table.collectDue(0x7FFFFFFF, counters);
        for (int v = 0; v < 256; ++v) {
            totals[static_cast<std::size_t>(v)] += counters[static_cast<std::size_t>(v)];
            counters[static_cast<std::size_t>(v)] = 0;
        }
    }
    writer.join();
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(totals[static_cast<std::size_t>(v)], kEvents / 256 + (v < kEvents % 256 ? 1 : 0));
}
