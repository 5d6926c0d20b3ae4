#include "assets/music/composition.h"

#include "assets/music/instruments.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace assets::music {

namespace {

// ---------------------------------------------------------------------------
// Channels, notes, effects
// ---------------------------------------------------------------------------

enum Channel : int {
    chKick, chSnare, chHat, chCrash, chBass, chPadA, chPadB, chPadC,
    chLead, chEcho, chChip, chBell, chGate, chWind
};
static_assert(chWind + 1 == kChannelCount);

constexpr int kBar = 16; // rows per bar: four beats of four rows
constexpr int kKeyOff = 97;

enum Pitch : int { C = 0, Cs, D, Ds, E, F, Fs, G, Gs, A, As, B };

// XM note number: C-0 is 1, C-4 (middle C) is 49.
constexpr int note(int octave, int pitch) { return 1 + 12 * octave + pitch; }

constexpr std::uint8_t fxArpeggio = 0x0;
constexpr std::uint8_t fxPortaUp = 0x1;
constexpr std::uint8_t fxPortaDown = 0x2;
constexpr std::uint8_t fxTonePorta = 0x3;
constexpr std::uint8_t fxVibrato = 0x4;
constexpr std::uint8_t fxPanning = 0x8;
constexpr std::uint8_t fxVolumeSlide = 0xA;
constexpr std::uint8_t fxBreak = 0xD;
constexpr std::uint8_t fxExtended = 0xE; // parameter 0x9y retrigger, 0xCy cut, 0xDy delay

constexpr std::uint8_t kVibrato = 0x52; // speed 5 (about 4 Hz), depth 2 (a quarter tone)

// One pattern under construction. Every effect slot may be filled once:
// writing a second effect into a cell is a composition error and throws, so
// a marker can never silently replace a musical effect (or the reverse).
class Part {
public:
    explicit Part(int rows) : p_(rows, kChannelCount) {}
    int rows() const { return p_.rows; }

    // A note with instrument and volume (vol < 0: no volume column). Rows past
    // the end are ignored, so echoes and tails may run off the pattern.
    void play(int ch, int row, int n, int instrument, int vol)
    {
        if (row < 0 || row >= rows())
            return;
        XmCell& c = p_.at(row, ch);
        c.note = static_cast<std::uint8_t>(n);
        c.instrument = static_cast<std::uint8_t>(instrument);
        c.volume = vol < 0 ? 0 : static_cast<std::uint8_t>(0x10 + std::min(vol, 64));
    }
    // Releases the channel's note unless another note starts on that row.
    // A release past the end is kept for the next pattern (see carryOver).
    void keyOff(int ch, int row)
    {
        if (row >= rows()) {
            spill_.push_back({ch, row - rows()});
            return;
        }
        if (row < 0 || p_.at(row, ch).note != 0)
            return;
        p_.at(row, ch).note = kKeyOff;
    }
    // Releases that the previous pattern left over, unless this pattern has
    // already struck a new note on the channel by then.
    void carryOver(const Part& previous)
    {
        for (const auto& [ch, row] : previous.spill_) {
            bool struck = false;
            for (int r = 0; r <= row && r < rows(); ++r)
                struck |= p_.at(r, ch).note != 0;
            if (!struck)
                keyOff(ch, row);
        }
    }
    void volume(int ch, int row, int vol)
    {
        if (row >= 0 && row < rows())
            p_.at(row, ch).volume = static_cast<std::uint8_t>(0x10 + std::min(vol, 64));
    }
    // Volume column "slide up by x on each tick after the first".
    void volumeSlideUp(int ch, int row, int x)
    {
        if (row >= 0 && row < rows())
            p_.at(row, ch).volume = static_cast<std::uint8_t>(0x70 + std::clamp(x, 0, 15));
    }
    bool effectFree(int ch, int row) const
    {
        const XmCell& c = p_.at(row, ch);
        return c.effect == 0 && c.param == 0;
    }
    void effect(int ch, int row, std::uint8_t fx, std::uint8_t param)
    {
        if (row < 0 || row >= rows())
            return;
        if (!effectFree(ch, row))
            throw std::logic_error("two effects written into one cell");
        XmCell& c = p_.at(row, ch);
        c.effect = fx;
        c.param = param;
    }
    // A synchronisation marker on the first channel whose effect column is
    // free on that row (drum channels first: they carry no other effects).
    void marker(int row, std::uint8_t value)
    {
        static constexpr std::array<int, kChannelCount> preference = {
            chKick, chSnare, chHat, chCrash, chWind, chBell, chGate, chBass,
            chChip, chPadA, chPadB, chPadC, chEcho, chLead};
        for (int ch : preference) {
            if (effectFree(ch, row)) {
                effect(ch, row, kEffectW, value);
                return;
            }
        }
        throw std::logic_error("no free effect column for a marker");
    }
    XmPattern take() { return std::move(p_); }

private:
    XmPattern p_;
    std::vector<std::pair<int, int>> spill_; // (channel, row in the next pattern)
};

// ---------------------------------------------------------------------------
// Harmony
// ---------------------------------------------------------------------------

struct Chord {
    int bass;                // root, octave 1-2
    std::array<int, 3> pad;  // close voicing around middle C
    int chipRoot;            // root, octave 4-5
    bool minor;
};

const Chord kAm{note(1, A), {note(3, A), note(4, C), note(4, E)}, note(4, A), true};
const Chord kF{note(1, F), {note(3, A), note(4, C), note(4, F)}, note(4, F), false};
const Chord kC{note(2, C), {note(3, G), note(4, C), note(4, E)}, note(5, C), false};
const Chord kG{note(1, G), {note(3, G), note(3, B), note(4, D)}, note(4, G), false};
const Chord kDm{note(2, D), {note(3, A), note(4, D), note(4, F)}, note(5, D), true};
const Chord kEm{note(2, E), {note(3, G), note(3, B), note(4, E)}, note(4, E), true};
const Chord kE{note(2, E), {note(3, Gs), note(3, B), note(4, E)}, note(4, E), false};

using Progression = std::array<const Chord*, 4>; // one chord per bar
const Progression kVerse{&kAm, &kF, &kC, &kG};    // i VI III VII
const Progression kChorus{&kF, &kG, &kEm, &kAm};  // VI VII v i
const Progression kBridge{&kDm, &kAm, &kF, &kE};  // iv i VI V

const Chord& chordAt(const Progression& prog, int row) { return *prog[static_cast<std::size_t>((row / kBar) % 4)]; }

std::uint8_t arpeggioFor(const Chord& c) { return c.minor ? 0x37 : 0x47; }

// ---------------------------------------------------------------------------
// Melodies, written as text: "E5:6" is E-5 held 6 rows, "-:2" a two-row
// rest, "~A5:8" a slide (tone portamento) from the previous note, "G#4:8" a
// sharp. Bar lines "|" are for the reader only.
// ---------------------------------------------------------------------------

struct MelodyNote {
    int row;
    int length;
    int pitch; // XM note
    bool slide;
    bool releasedAfter; // followed by a rest or the end of the line
};

std::vector<MelodyNote> parseMelody(std::string_view text)
{
    std::vector<MelodyNote> out;
    int row = 0;
    std::size_t i = 0;
    auto fail = [] { throw std::invalid_argument("malformed melody text"); };
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '|') {
            ++i;
            continue;
        }
        bool slide = false;
        if (text[i] == '~') {
            slide = true;
            ++i;
        }
        if (i >= text.size())
            fail();
        int pitch = 0;
        if (text[i] == '-') {
            ++i;
        } else {
            static constexpr std::string_view letters = "C D EF G A B";
            const std::size_t semitone = letters.find(text[i]);
            if (semitone == std::string_view::npos || text[i] == ' ')
                fail();
            ++i;
            int s = static_cast<int>(semitone);
            if (i < text.size() && text[i] == '#') {
                ++s;
                ++i;
            }
            if (i >= text.size() || text[i] < '0' || text[i] > '7')
                fail();
            pitch = note(text[i] - '0', s);
            ++i;
        }
        if (i >= text.size() || text[i] != ':')
            fail();
        ++i;
        int length = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            length = length * 10 + (text[i++] - '0');
        if (length <= 0)
            fail();
        if (pitch == 0) {
            if (!out.empty())
                out.back().releasedAfter = true;
        } else {
            out.push_back({row, length, pitch, slide, false});
        }
        row += length;
    }
    if (!out.empty())
        out.back().releasedAfter = true;
    return out;
}

// The tunes (four bars each).
constexpr std::string_view kVerseTuneA = "E5:6 D5:2 C5:4 D5:2 E5:2 | F5:6 E5:2 C5:4 A4:4 | G4:4 C5:4 E5:6 G5:2 | D5:8 B4:4 D5:4";
constexpr std::string_view kVerseTuneB = "E5:6 D5:2 C5:4 E5:4 | ~A5:8 G5:4 F5:4 | E5:6 D5:2 C5:4 D5:4 | B4:6 C5:2 D5:6 -:2";
constexpr std::string_view kChorusTuneA = "C5:4 A4:2 C5:2 F5:6 E5:2 | D5:4 B4:2 D5:2 G5:8 | G5:6 E5:2 B4:4 E5:4 | C5:6 B4:2 A4:6 -:2";
constexpr std::string_view kChorusTuneB = "A5:4 G5:2 F5:2 C5:6 F5:2 | G5:4 F5:2 D5:2 ~B5:8 | B5:4 A5:2 G5:2 E5:8 | A5:10 G5:2 E5:4";
constexpr std::string_view kBridgeTune = "F5:12 E5:4 | E5:8 C5:8 | C5:12 A4:4 | G#4:8 B4:8";

// Writes a tune on a channel from `startRow`, `delay` rows late (for the
// echo), transposed. Long notes get vibrato after their attack; slides use
// tone portamento over two rows.
void tune(Part& p, std::string_view text, int ch, int instrument, int vol, int startRow = 0, int delay = 0,
          int transpose = 0)
{
    for (const MelodyNote& m : parseMelody(text)) {
        const int r = startRow + m.row + delay;
        const int n = m.pitch + transpose;
        if (m.slide) {
            p.play(ch, r, n, 0, -1); // no instrument: the sounding note glides on
            p.effect(ch, r, fxTonePorta, 0x20);
            p.effect(ch, r + 1, fxTonePorta, 0x00);
        } else {
            p.play(ch, r, n, instrument, vol);
        }
        if (m.length >= 6)
            for (int k = r + 3; k < r + m.length; ++k)
                p.effect(ch, k, fxVibrato, kVibrato);
        if (m.releasedAfter)
            p.keyOff(ch, r + m.length);
    }
}

// Lead with its echo: a softer copy three rows later, panned right.
void leadWithEcho(Part& p, std::string_view text, int vol, int transpose = 0)
{
    tune(p, text, chLead, kLead, vol, 0, 0, transpose);
    tune(p, text, chEcho, kLeadEcho, vol * 9 / 20, 0, 3, transpose);
}

// ---------------------------------------------------------------------------
// Layers
// ---------------------------------------------------------------------------

void crash(Part& p, int row = 0, int vol = 44) { p.play(chCrash, row, note(4, C), kCrash, vol); }

// Four on the floor: kick on every beat, snare on 2 and 4, open hat on the
// off-beats, closed hats between.
void drumsFour(Part& p, int fromRow, int toRow, bool ghosts)
{
    for (int r = fromRow; r < toRow; ++r) {
        const int inBar = r % kBar;
        if (inBar % 4 == 0)
            p.play(chKick, r, note(4, C), kKick, 64);
        if (inBar == 4 || inBar == 12)
            p.play(chSnare, r, note(4, C), kSnare, 54);
        if (ghosts && (inBar == 7 || inBar == 14))
            p.play(chSnare, r, note(4, D), kSnare, 12);
        if (inBar % 4 == 2)
            p.play(chHat, r, note(4, C), kOpenHat, 30);
        else
            p.play(chHat, r, note(4, C), kClosedHat, inBar % 4 == 0 ? 18 : 26);
    }
}

// Half time: kick on 1 and the "and" of 3, snare on 3, sixteenth hats.
void drumsHalf(Part& p, int fromRow, int toRow)
{
    for (int r = fromRow; r < toRow; ++r) {
        const int inBar = r % kBar;
        if (inBar == 0 || inBar == 10)
            p.play(chKick, r, note(4, C), kKick, 64);
        if (inBar == 6)
            p.play(chKick, r, note(4, C), kKick, 40);
        if (inBar == 8)
            p.play(chSnare, r, note(4, C), kSnare, 56);
        if (inBar == 14)
            p.play(chHat, r, note(4, C), kOpenHat, 26);
        else
            p.play(chHat, r, note(4, C), kClosedHat, inBar % 2 ? 16 : 26);
    }
}

// Soft ticking hats only.
void drumsHats(Part& p, int fromRow, int toRow)
{
    for (int r = fromRow; r < toRow; r += 2)
        p.play(chHat, r, note(4, C), (r % kBar) == 14 ? kOpenHat : kClosedHat, (r % 4) ? 20 : 12);
}

// A snare fill over the last bar ending at `endRow` (crescendo, with a
// flam at the very end made by a delayed note).
void snareFill(Part& p, int endRow)
{
    const int b = endRow - kBar;
    static constexpr std::array<int, 8> rows = {8, 10, 11, 12, 13, 14, 15, 15};
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        p.play(chSnare, b + rows[i], note(4, C), kSnare, 28 + static_cast<int>(i) * 5);
    p.effect(chSnare, b + 15, fxExtended, 0xD3); // the last hit lands on tick 3: a flam
    p.play(chKick, b + 14, note(4, C), kKick, 48);
}

// A build of `bars` bars ending at `endRow`: snare in quarters, then eighths,
// then sixteenths, then a retriggered roll; the kick joins for the last two.
void snareBuild(Part& p, int endRow, int bars)
{
    const int start = endRow - bars * kBar;
    for (int r = start; r < endRow; ++r) {
        const int fromEnd = (endRow - 1 - r) / kBar; // 0 = last bar
        const int inBar = (r - start) % kBar;
        const int vol = 20 + 40 * (r - start) / (endRow - start);
        int every = 4;
        if (fromEnd == 2) every = 2;
        if (fromEnd <= 1) every = 1;
        if (inBar % every == 0) {
            p.play(chSnare, r, note(4, C), kSnare, vol);
            if (fromEnd == 0)
                p.effect(chSnare, r, fxExtended, 0x93); // retrigger every third tick
        }
        if (fromEnd <= 1 && inBar % 4 == 0)
            p.play(chKick, r, note(4, C), kKick, 48);
    }
}

enum class BassStyle { Offbeat, Rolling, Disco };

// Bass lines: plucked notes whose envelope dies away within 24 ticks, so the
// groove breathes (a fade rather than a cut, which would click without the
// volume ramps some players have).
void bass(Part& p, const Progression& prog, BassStyle style, int fromRow, int toRow)
{
    for (int r = fromRow; r < toRow; ++r) {
        const Chord& c = chordAt(prog, r);
        const int inBeat = r % 4;
        switch (style) {
        case BassStyle::Offbeat:
            if (inBeat == 2) {
                p.play(chBass, r, c.bass, kBass, 44);
            }
            break;
        case BassStyle::Rolling:
            if (inBeat != 0) {
                p.play(chBass, r, inBeat == 3 ? c.bass + 12 : c.bass, kBass, inBeat == 2 ? 42 : 32);
            }
            break;
        case BassStyle::Disco:
            if (r % 2 == 0) {
                const bool up = (r / 2) % 2 == 1;
                p.play(chBass, r, up ? c.bass + 12 : c.bass, kBass, up ? 34 : 44);
            }
            break;
        }
    }
}

// Held bass roots, one per bar.
void bassLong(Part& p, const Progression& prog, int fromRow, int toRow, int vol)
{
    for (int r = fromRow; r < toRow; r += kBar)
        p.play(chBass, r, chordAt(prog, r).bass, kBassLong, vol);
    p.keyOff(chBass, toRow);
}

// Pad chords on three channels panned left, centre and right. A voice that
// keeps its note into the next bar is not struck again, so it sustains.
// `fadeStep` other than 0 adds a volume slide every eighth row (A10 up, A01
// down, five steps of volume per row), and later chords come in at the
// volume the slide has reached. The chords are released at `toRow` unless
// `release` is false.
void pads(Part& p, const Progression& prog, int fromRow, int toRow, int vol, int fadeStep = 0, bool release = true)
{
    static constexpr std::array<std::uint8_t, 3> pans = {0x50, 0x80, 0xB0};
    for (int v = 0; v < 3; ++v) {
        const int ch = chPadA + v;
        int level = vol;
        int previous = -1;
        for (int r = fromRow; r < toRow; ++r) {
            if (r % kBar == 0 || r == fromRow) {
                const int n = chordAt(prog, r).pad[static_cast<std::size_t>(v)];
                if (n != previous) {
                    p.play(ch, r, n, kPad, level);
                    p.effect(ch, r, fxPanning, pans[static_cast<std::size_t>(v)]);
                    previous = n;
                }
            }
            if (fadeStep != 0 && r % 8 == 4) {
                p.effect(ch, r, fxVolumeSlide, fadeStep > 0 ? 0x10 : 0x01);
                level = std::clamp(level + (fadeStep > 0 ? 5 : -5), 0, 64);
            }
        }
        if (release)
            p.keyOff(ch, toRow);
    }
}

// Pads that duck under every kick and swell back within the beat: on the
// beat the volume drops to a third, then the volume column slides it up on
// the two rows after (ticks 1 to 5 of each), back to `vol`.
void pump(Part& p, int fromRow, int toRow, int vol)
{
    const int low = vol / 3;
    const int perTick = std::clamp((vol - low + 9) / 10, 1, 15); // two rows of five ticks
    for (int r = fromRow; r < toRow; ++r) {
        for (int ch = chPadA; ch <= chPadC; ++ch) {
            if (r % 4 == 0)
                p.volume(ch, r, low);
            else if (r % 4 <= 2)
                p.volumeSlideUp(ch, r, perTick);
        }
    }
}

// Toms (the kick an octave and more up) falling over the last half bar
// before `endRow`, on the crash channel.
void tomFill(Part& p, int endRow)
{
    static constexpr std::array<int, 6> rows = {8, 10, 11, 12, 14, 15};
    static constexpr std::array<int, 6> pitches = {note(5, G), note(5, E), note(5, E), note(5, C), note(4, A), note(4, G)};
    for (std::size_t i = 0; i < rows.size(); ++i)
        p.play(chCrash, endRow - kBar + rows[i], pitches[i], kKick, 40 + static_cast<int>(i) * 3);
}

// Chip arpeggios: the chord's root on a syncopated eighth-note figure, with
// the arpeggio effect (root, third, fifth each tick) on every row.
void chipArps(Part& p, const Progression& prog, int fromRow, int toRow, int vol, bool busy)
{
    static constexpr std::array<int, 8> figure = {0, 2, 3, 6, 8, 10, 11, 14};
    for (int r = fromRow; r < toRow; ++r) {
        const Chord& c = chordAt(prog, r);
        const int inBar = r % kBar;
        bool strike = std::find(figure.begin(), figure.end(), inBar) != figure.end();
        int n = c.chipRoot;
        if (busy) {
            strike = true;
            n += (inBar % 4 == 2) ? 12 : 0;
        }
        if (strike)
            p.play(chChip, r, n, kChip, inBar % 4 == 0 ? vol : vol - 6);
        p.effect(chChip, r, fxArpeggio, arpeggioFor(c));
    }
    p.keyOff(chChip, toRow);
}

// Bell arpeggio in eighths over the chord, an octave above the pad.
void bellArps(Part& p, const Progression& prog, int fromRow, int toRow, int vol)
{
    static constexpr std::array<int, 8> order = {0, 2, 1, 2, 3, 2, 1, 2}; // 3 = root an octave up
    for (int r = fromRow; r < toRow; r += 2) {
        const Chord& c = chordAt(prog, r);
        const int step = order[static_cast<std::size_t>((r % kBar) / 2)];
        const int n = step == 3 ? c.pad[0] + 24 : c.pad[static_cast<std::size_t>(step)] + 12;
        p.play(chBell, r, n, kBell, (r % 4) ? vol - 8 : vol);
    }
}

// Gated chord tone, one note per bar (held when the bar keeps it).
void gate(Part& p, const Progression& prog, int fromRow, int toRow, int vol)
{
    int previous = -1;
    for (int r = fromRow; r < toRow; r += kBar) {
        const int n = chordAt(prog, r).pad[2] + 12;
        if (n != previous)
            p.play(chGate, r, n, kGatePad, vol);
        previous = n;
    }
    p.keyOff(chGate, toRow);
}

// Wind rising in pitch (portamento up) over `rows` rows before `endRow`,
// cut on the last tick before the next section.
void riser(Part& p, int endRow, int rows, std::uint8_t speed, int vol)
{
    const int start = endRow - rows;
    p.play(chWind, start, note(3, C), kWind, vol);
    for (int r = start + 1; r < endRow - 1; ++r)
        p.effect(chWind, r, fxPortaUp, speed);
    p.effect(chWind, endRow - 1, fxExtended, 0xC5);
}

// ---------------------------------------------------------------------------
// Beat markers
// ---------------------------------------------------------------------------

enum class Beats {
    ZoomHalf, // zoom on beats 1 and 3
    ZoomBar,  // zoom on each downbeat
    ZoomBeat, // zoom on every beat
    Dance,    // zoom on 1 and 3, overlay flip on 2 and 4: the pair alternates every beat
    Flip,     // overlay flip on every beat, no zoom (keeps scrolling text readable)
};

void beats(Part& p, Beats kind, int fromRow, int toRow)
{
    for (int r = fromRow; r < toRow; r += 4) {
        const int inBar = r % kBar;
        switch (kind) {
        case Beats::ZoomHalf:
            if (inBar % 8 == 0) p.marker(r, kZoomMarker);
            break;
        case Beats::ZoomBar:
            if (inBar == 0) p.marker(r, kZoomMarker);
            break;
        case Beats::ZoomBeat:
            p.marker(r, kZoomMarker);
            break;
        case Beats::Dance:
            p.marker(r, inBar % 8 == 0 ? kZoomMarker : kFlipMarker);
            break;
        case Beats::Flip:
            p.marker(r, kFlipMarker);
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// The score, one pattern per order position
// ---------------------------------------------------------------------------

struct Score {
    std::vector<XmPattern> patterns;
    Part previous{1};
    void add(Part&& p)
    {
        p.carryOver(previous);
        previous = p;
        patterns.push_back(p.take());
    }
};

// A full groove section (drums, bass, pads) shared by most of the piece.
void groove(Part& p, const Progression& prog, BassStyle style, bool disco, int padVol)
{
    drumsFour(p, 0, p.rows(), disco);
    bass(p, prog, style, 0, p.rows());
    pads(p, prog, 0, p.rows(), padVol);
    pump(p, 0, p.rows(), padVol);
}

Score compose()
{
    Score s;
    const auto& cues = sceneCues();
    auto sceneMarker = [&](Part& p, int order) {
        for (const SceneCue& c : cues)
            if (c.order == order)
                p.marker(c.row, static_cast<std::uint8_t>(c.marker));
    };
    int order = 0;
    auto next = [&](Part&& p) {
        sceneMarker(p, order++);
        s.add(std::move(p));
    };

    // Scene 0, intro: the pads fade in under the wind; bells answer.
    {
        Part p(64);
        pads(p, kVerse, 0, 64, 2, +1);
        p.play(chWind, 0, note(3, A), kWind, 30);
        p.keyOff(chWind, 56);
        for (int r = 32; r < 64; r += 8)
            p.play(chBell, r, chordAt(kVerse, r).pad[2] + 12, kBell, 26);
        next(std::move(p));
    }
    {
        Part p(64);
        pads(p, kVerse, 0, 64, 40);
        bellArps(p, kVerse, 0, 48, 28);
        bassLong(p, kVerse, 16, 48, 40);
        drumsHats(p, 16, 48);
        snareBuild(p, 64, 1);
        riser(p, 64, 32, 0x02, 34);
        next(std::move(p));
    }
    // Scene 1, the beat drops: fire tunnel and the fjollah pair on the zooms.
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Offbeat, false, 30);
        crash(p);
        beats(p, Beats::ZoomHalf, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Offbeat, false, 30);
        chipArps(p, kVerse, 0, 64, 24, false);
        snareFill(p, 64);
        beats(p, Beats::ZoomHalf, 0, 64);
        next(std::move(p));
    }
    // Scene 2, the tune: grid blob with voodoo.
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, false, 26);
        crash(p);
        leadWithEcho(p, kVerseTuneA, 44);
        beats(p, Beats::ZoomBar, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, false, 26);
        leadWithEcho(p, kVerseTuneB, 44);
        chipArps(p, kVerse, 0, 64, 20, false);
        snareFill(p, 64);
        beats(p, Beats::ZoomBar, 0, 64);
        next(std::move(p));
    }
    // Scene 3, breakdown: spline ribbons; no kick, bells and the gate pad.
    {
        Part p(64);
        crash(p, 0, 36);
        pads(p, kBridge, 0, 64, 24);
        bassLong(p, kBridge, 0, 64, 26);
        bellArps(p, kBridge, 0, 64, 26);
        tune(p, kBridgeTune, chLead, kLead, 30);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        pads(p, kBridge, 0, 64, 24);
        bassLong(p, kBridge, 0, 32, 28);
        bass(p, kBridge, BassStyle::Offbeat, 32, 64);
        gate(p, kBridge, 0, 64, 30);
        bellArps(p, kBridge, 0, 32, 22);
        snareBuild(p, 64, 4);
        riser(p, 64, 64, 0x01, 36);
        for (int bar = 0; bar < 4; ++bar)
            p.marker(bar * kBar, kFlashMarker);
        for (int r = 48; r < 64; r += 4)
            p.marker(r, kZoomMarker);
        next(std::move(p));
    }
    // Scene 4, disco: the groovy pair on the half-bar zooms, chorus tune.
    {
        Part p(64);
        groove(p, kChorus, BassStyle::Disco, true, 26);
        crash(p);
        leadWithEcho(p, kChorusTuneA, 44);
        beats(p, Beats::ZoomHalf, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kChorus, BassStyle::Disco, true, 26);
        leadWithEcho(p, kChorusTuneB, 44);
        chipArps(p, kChorus, 0, 64, 20, false);
        tomFill(p, 64);
        beats(p, Beats::ZoomHalf, 0, 64);
        next(std::move(p));
    }
    // Scene 5, interlude: ribbons and the record; half-time, the chip solos.
    {
        Part p(64);
        drumsHalf(p, 0, 64);
        crash(p);
        bass(p, kVerse, BassStyle::Rolling, 0, 64);
        pads(p, kVerse, 0, 64, 18);
        chipArps(p, kVerse, 0, 64, 42, true);
        beats(p, Beats::ZoomBar, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        drumsHalf(p, 0, 48);
        bass(p, kVerse, BassStyle::Rolling, 0, 64);
        pads(p, kVerse, 0, 64, 18);
        chipArps(p, kVerse, 0, 64, 40, true);
        bellArps(p, kVerse, 32, 64, 22);
        gate(p, kVerse, 32, 64, 26);
        snareBuild(p, 64, 1);
        beats(p, Beats::ZoomBar, 0, 64);
        next(std::move(p));
    }
    // Scene 6, dancers: the pair changes pose on every beat.
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Offbeat, false, 28);
        crash(p);
        leadWithEcho(p, kVerseTuneA, 44);
        beats(p, Beats::Dance, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Offbeat, false, 28);
        leadWithEcho(p, kVerseTuneB, 44);
        chipArps(p, kVerse, 0, 64, 22, false);
        tomFill(p, 64);
        beats(p, Beats::Dance, 0, 64);
        next(std::move(p));
    }
    // Scene 7, climax: tunnel again, the tune an octave up, zoom on every beat.
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, true, 28);
        crash(p);
        gate(p, kVerse, 0, 64, 26);
        leadWithEcho(p, kVerseTuneA, 40, 12);
        chipArps(p, kVerse, 0, 64, 20, false);
        beats(p, Beats::ZoomBeat, 0, 64);
        p.marker(0, kFlashMarker);
        p.marker(32, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, true, 28);
        gate(p, kVerse, 0, 64, 26);
        leadWithEcho(p, kVerseTuneB, 40, 12);
        chipArps(p, kVerse, 0, 64, 20, false);
        snareFill(p, 64);
        riser(p, 64, 16, 0x03, 30);
        beats(p, Beats::ZoomBeat, 0, 64);
        next(std::move(p));
    }
    // Scenes 8 to 10, greetings: overlay flips only, so the text stays readable.
    {
        Part p(64);
        groove(p, kChorus, BassStyle::Disco, false, 28);
        crash(p);
        bellArps(p, kChorus, 0, 64, 26);
        beats(p, Beats::Flip, 0, 64);
        p.marker(0, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kChorus, BassStyle::Disco, true, 26);
        bellArps(p, kChorus, 0, 64, 20);
        leadWithEcho(p, kChorusTuneA, 40);
        beats(p, Beats::Flip, 0, 64);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kChorus, BassStyle::Disco, true, 26);
        gate(p, kChorus, 0, 64, 24);
        leadWithEcho(p, kChorusTuneB, 42);
        chipArps(p, kChorus, 0, 64, 18, false);
        beats(p, Beats::Flip, 0, 64);
        next(std::move(p));
    }
    {
        // Half a pattern: a two-bar build, then a pattern break.
        Part p(64);
        pads(p, kChorus, 0, 32, 28);
        bass(p, kChorus, BassStyle::Offbeat, 0, 32);
        snareBuild(p, 32, 2);
        riser(p, 32, 32, 0x02, 34);
        p.marker(0, kFlashMarker);
        for (int r = 16; r < 32; r += 4)
            p.marker(r, kZoomMarker);
        p.effect(chCrash, 31, fxBreak, 0x00);
        next(std::move(p));
    }
    // Scene 11, the last drop: disco scene with the fjollah pair dancing.
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, true, 30);
        crash(p, 0, 50);
        gate(p, kVerse, 0, 64, 26);
        leadWithEcho(p, kVerseTuneA, 40, 12);
        chipArps(p, kVerse, 0, 64, 20, false);
        beats(p, Beats::Dance, 0, 64);
        p.marker(0, kFlashMarker);
        p.marker(32, kFlashMarker);
        next(std::move(p));
    }
    {
        Part p(64);
        groove(p, kVerse, BassStyle::Rolling, true, 30);
        gate(p, kVerse, 0, 64, 26);
        leadWithEcho(p, kVerseTuneB, 40, 12);
        chipArps(p, kVerse, 0, 64, 20, false);
        snareFill(p, 64);
        beats(p, Beats::Dance, 0, 64);
        next(std::move(p));
    }
    // Scene 12, the end picture: drums gone, the bells sing the tune.
    {
        Part p(64);
        crash(p, 0, 40);
        pads(p, kVerse, 0, 64, 32);
        bassLong(p, kVerse, 0, 64, 40);
        tune(p, kVerseTuneA, chBell, kBell, 36);
        p.play(chWind, 0, note(3, A), kWind, 24);
        p.keyOff(chWind, 48);
        next(std::move(p));
    }
    {
        // Last chord: A minor with a slow lead A that rings out, the pads
        // sliding down to silence, the wind falling away (portamento down).
        Part p(64);
        pads(p, kVerse, 0, 16, 34, -1, false); // the chord rings on
        for (int r = 16; r < 64; ++r)
            if (r % 8 == 4)
                for (int ch = chPadA; ch <= chPadC; ++ch)
                    p.effect(ch, r, fxVolumeSlide, 0x01);
        p.play(chBass, 0, note(1, A), kBassLong, 44);
        p.keyOff(chBass, 44);
        p.play(chLead, 0, note(4, A), kLead, 34);
        for (int r = 3; r < 40; ++r)
            p.effect(chLead, r, fxVibrato, kVibrato);
        p.keyOff(chLead, 40);
        p.play(chBell, 0, note(5, A), kBell, 36);
        p.play(chBell, 8, note(5, E), kBell, 28);
        p.play(chBell, 16, note(5, C), kBell, 22);
        p.play(chBell, 32, note(4, A), kBell, 18);
        p.play(chWind, 0, note(4, C), kWind, 28);
        for (int r = 1; r < 44; ++r)
            p.effect(chWind, r, fxPortaDown, 0x01);
        p.keyOff(chWind, 44);
        next(std::move(p));
    }
    return s;
}

} // namespace

const std::vector<SceneCue>& sceneCues()
{
    // Order positions are patterns of 64 rows (7.68 s) except position 19,
    // which breaks after 32 rows.
    static const std::vector<SceneCue> cues = {
        {1, 2, 0},   // 15.36 s  fire tunnel, fjollah pair
        {2, 4, 0},   // 30.72 s  grid blob, voodoo
        {3, 6, 0},   // 46.08 s  spline ribbons (breakdown)
        {4, 8, 0},   // 61.44 s  disco scene, groovy pair
        {5, 10, 0},  // 76.80 s  ribbons, skiva
        {6, 12, 0},  // 92.16 s  grid blob, dancers
        {7, 14, 0},  // 107.52 s tunnel again (climax)
        {8, 16, 0},  // 122.88 s greetings start scrolling
        {9, 17, 0},  // 130.56 s grid warp
        {10, 18, 0}, // 138.24 s ball scene
        {11, 20, 0}, // 149.76 s disco scene, fjollah pair
        {12, 22, 0}, // 165.12 s the end picture
        {13, 23, 63} // 180.36 s quit
    };
    return cues;
}

XmModule composeModule()
{
    XmModule m;
    m.name = "tp";
    m.tracker = "assetgen";
    m.channels = kChannelCount;
    m.linearFrequencies = true;
    m.speed = kSpeed;
    m.bpm = kTempo;
    m.restartPosition = 0;
    m.patterns = compose().patterns;
    for (std::size_t i = 0; i < m.patterns.size(); ++i)
        m.orders.push_back(static_cast<std::uint8_t>(i));
    m.instruments = buildInstruments();
    return m;
}

std::vector<std::uint8_t> moduleBytes() { return encodeXm(composeModule()); }

} // namespace assets::music
