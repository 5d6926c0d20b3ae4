// The player's row tick: reading the next row, triggering notes and the
// effects that act once per row.
#include "music/pattern_packing.h"
#include "music/song.h"

#include <algorithm>

namespace music {

namespace {

// Effect numbers (E effects become 0xE0 + x when the row is read).
enum : std::uint8_t {
    kArpeggio = 0x0, kPortaUp = 0x1, kPortaDown = 0x2, kTonePorta = 0x3, kVibrato = 0x4,
    kTonePortaVolume = 0x5, kVibratoVolume = 0x6, kTremolo = 0x7, kPanning = 0x8, kSampleOffset = 0x9,
    kVolumeSlide = 0xA, kJump = 0xB, kSetVolume = 0xC, kBreak = 0xD, kExtended = 0xE, kSpeed = 0xF,
    kGlobalVolume = 16, kGlobalVolumeSlide = 17, kKeyOff = 20, kEnvelopePosition = 21, kPanningSlide = 25,
    kMultiRetrigger = 27, kTremor = 29, kSync = 32, kExtraFine = 33,
    kFineUp = 0xE1, kFineDown = 0xE2, kGlissando = 0xE3, kVibratoWave = 0xE4, kFinetune = 0xE5,
    kPatternLoop = 0xE6, kTremoloWave = 0xE7, kRetrigger = 0xE9, kFineVolumeUp = 0xEA,
    kFineVolumeDown = 0xEB, kNoteCut = 0xEC, kNoteDelay = 0xED, kPatternDelay = 0xEE,
};

bool isVibratoColumn(std::uint8_t column) { return (column & 0xF0) == 0xB0; }

// Volume arithmetic is 16-bit; a result with bit 15 set counts as 0.
std::int16_t clampVolume(int v)
{
    const auto v16 = static_cast<std::int16_t>(v);
    return static_cast<std::int16_t>(std::clamp<int>(v16, 0, 64));
}

std::int16_t clampPeriod(int p) { return static_cast<std::int16_t>(std::clamp(p, kMinPeriod, kMaxPeriod)); }

// The sample whose relative note and finetune give a note's pitch: the one
// the key maps to, or with tone portamento the one that is playing.
const Sample& pitchSample(const Channel& ch, const Instrument& inst, int noteIndex, bool portamento)
{
    if (portamento && ch.playingSample)
        return *ch.playingSample;
    return inst.samples[inst.keymap[static_cast<std::size_t>(noteIndex)]];
}

// The real note (note index plus the sample's relative note) must lie in
// 0..118; beyond it the period tables have no such pitch.
bool isPlayableNote(const Sample& sample, int noteIndex)
{
    const int real = noteIndex + sample.relativeNote;
    return real >= 0 && real <= kHighestRealNote;
}

} // namespace

void Song::readNextRow()
{
    const Pattern& current = patterns[patternNumber];
    if (nextRow >= current.rows) {
        setOrderPosition(orderPosition + 1);
    }
    const int channelCount = std::clamp<int>(numChannels, 0, kMaxChannels);
    unpackRow(&patterns[patternNumber], nextRow, channelCount, currentRow.data());
    for (int c = 0; c < channelCount; ++c) {
        Channel& ch = channels[static_cast<std::size_t>(c)];
        RowCell cell = currentRow[static_cast<std::size_t>(c)];
        const RowCell& previous = ch.rowCell;
        const bool hadVibrato =
            previous.effect == kVibrato || previous.effect == kVibratoVolume || isVibratoColumn(previous.volumeColumn);
        const bool hasVibrato =
            cell.effect == kVibrato || cell.effect == kVibratoVolume || isVibratoColumn(cell.volumeColumn);
        if (hadVibrato && !hasVibrato)
            ch.vibratoOffset = 0;
        if (previous.effect == kTremolo && cell.effect != kTremolo)
            ch.tremoloOffset = 0;
        if (cell.effect == kExtended) {
            cell.effect = static_cast<std::uint8_t>(0xE0 + (cell.parameter >> 4));
            cell.parameter &= 0x0F;
        }
        ch.rowCell = cell;
        ch.triggerWord = static_cast<std::int16_t>(cell.effect == kNoteDelay ? 256 + cell.parameter : 0);
        ch.effect = 0;
        ch.parameter = 0;
        ch.volumeColumn = 0;
    }
    nextRow = static_cast<std::int16_t>(nextRow + 1);
}

void Song::triggerNotes(int pass)
{
    const int count = std::clamp<int>(numChannels, 0, kMaxChannels);
    const int key = (pass * 256) ^ tickCounter;
    for (int c = 0; c < count; ++c) {
        Channel& ch = channels[static_cast<std::size_t>(c)];
        if (ch.triggerWord == key)
            triggerChannel(ch);
    }
}

void Song::triggerChannel(Channel& ch)
{
    const RowCell& cell = ch.rowCell;
    ch.effect = cell.effect;
    ch.parameter = cell.parameter;
    ch.volumeColumn = cell.volumeColumn;
    const std::uint8_t note = cell.note;
    const bool portamento =
        ch.effect == kTonePorta || ch.effect == kTonePortaVolume || (ch.volumeColumn & 0xF0) == 0xF0;
    // Notes above key-off (98..127) name nothing and are ignored.
    bool isNote = note >= 1 && note <= 96;

    const Instrument* named = nullptr;
    if (cell.instrument != 0 && instruments[static_cast<std::size_t>(cell.instrument - 1)].inUse)
        named = &instruments[static_cast<std::size_t>(cell.instrument - 1)];
    // A note whose pitch falls outside the playable range is ignored; the
    // instrument number still applies, as in a cell without a note.
    if (isNote && (named || ch.instrument) &&
        !isPlayableNote(pitchSample(ch, named ? *named : *ch.instrument, note - 1, portamento), note - 1))
        isNote = false;

    if (cell.instrument != 0) {
        if (named) {
            const Instrument& inst = *named;
            ch.instrument = &inst;
            if (isNote || !ch.defaultsLoaded) {
                const int keymapIndex = isNote ? note - 1 : 0;
                const Sample& s = inst.samples[inst.keymap[static_cast<std::size_t>(keymapIndex)]];
                ch.defaultVolume = s.volume;
                ch.defaultPanning = s.panning;
                ch.defaultsLoaded = 1;
            }
        }
        if (named || ch.defaultsLoaded) {
            ch.volume = ch.defaultVolume;
            ch.panning = ch.defaultPanning;
        } else {
            ch.volume = 0;
            ch.panning = ch.defaultPanning;
        }
    }

    // A note on a channel that never had an instrument has nothing to set up.
    if (isNote && ch.instrument) {
        const bool hasOverride = ch.effect == kFinetune;
        const int overrideValue = (ch.parameter - 8) * 16;
        const std::int16_t periodBefore = ch.period;
        setUpNote(ch, note - 1, portamento, hasOverride, overrideValue);
        ch.fadeOutLevel = 65536;
        if (portamento) {
            ch.tonePortaTarget = ch.period;
            ch.period = periodBefore;
        }
        if (ch.effect == kSampleOffset) {
            if (ch.parameter != 0)
                ch.sampleOffsetMemory = ch.parameter;
            ch.positionInt = ch.sampleOffsetMemory * 256;
            ch.positionFrac = 0;
        }
    }

    if (cell.instrument != 0 && note != kNoteKeyOff) {
        restartEnvelope(ch.volumeEnvelope);
        restartEnvelope(ch.panningEnvelope);
        ch.keyReleased = 0;
    }
    if (note == kNoteKeyOff) {
        if (!ch.volumeEnvelope.envelope || !ch.volumeEnvelope.envelope->on)
            ch.volume = 0;
        ch.keyReleased = 1;
    }
    // K00 releases the key now, before the envelopes are evaluated, just as
    // a key-off note does (Kxx with xx > 0 on its tick, see the tick effects):
    // the envelopes leave their sustain and the fade-out starts on this tick.
    // Unlike the key-off note it leaves the volume alone, so a note without a
    // volume envelope plays on, as trackers write K to end enveloped notes.
    if (ch.effect == kKeyOff && ch.parameter == 0)
        ch.keyReleased = 1;
    if (ch.volumeColumn >= 0x10 && ch.volumeColumn <= 0x50)
        ch.volume = static_cast<std::int16_t>(ch.volumeColumn - 0x10);
    evaluateEnvelope(ch.volumeEnvelope, 64, ch.keyReleased != 0, 0);
    evaluateEnvelope(ch.panningEnvelope, 32, ch.keyReleased != 0, 0);
}

void Song::setUpNote(Channel& ch, int noteIndex, bool portamento, bool hasOverride, int finetuneOverride)
{
    const Instrument& inst = *ch.instrument;
    const Sample& keyed = inst.samples[inst.keymap[static_cast<std::size_t>(noteIndex)]];
    // With portamento the note only sets the slide's target, at the pitch of
    // the sample that plays on: its relative note and finetune.
    const Sample& pitched = pitchSample(ch, inst, noteIndex, portamento);
    const int finetune = hasOverride ? finetuneOverride : pitched.finetune;
    ch.period = clampPeriod(notePeriod(frequencyMode, noteIndex + pitched.relativeNote, finetune));
    if (portamento)
        return;
    ch.sampleNumber = inst.keymap[static_cast<std::size_t>(noteIndex)];
    if (!inst.inUse || !keyed.hasData || !keyed.data) {
        ch.active = 0; // an empty sample silences the channel
        return;
    }
    ch.playingSample = &keyed;
    ch.defaultsLoaded = 1;
    ch.multiRetriggerCounter = -1;
    ch.sampleData = keyed.data;
    ch.length = keyed.length;
    ch.bits = keyed.bits;
    ch.autoVibratoRate = inst.vibratoRate;
    ch.autoVibratoDepth = inst.vibratoDepth;
    ch.autoVibratoSweep = inst.vibratoSweep;
    ch.autoVibratoType = inst.vibratoType;
    ch.loopStart = keyed.loopStart;
    ch.loopEnd = keyed.loopEnd;
    ch.loopType = keyed.loopType;
    ch.volumeEnvelope.envelope = &inst.volumeEnvelope;
    ch.panningEnvelope.envelope = &inst.panningEnvelope;
    ch.fadeOutSpeed = inst.fadeOut;
    ch.finetune = static_cast<std::int16_t>(finetune);
    ch.direction = 1;
    ch.positionInt = 0;
    ch.positionFrac = 0;
    ch.bounced = 0;
    ch.autoVibratoPosition = 0;
    ch.autoVibratoSweepCounter = 0;
    ch.tremorCounter = 0;
    ch.tremorGate = 1;
    if (!ch.vibratoNoRetrigger)
        ch.vibratoPosition = 0;
    if (!ch.tremoloNoRetrigger)
        ch.tremoloPosition = 0;
    ch.active = 1;
}

void Song::runRowEffects()
{
    bool jump = false;
    int targetPosition = -1;
    int targetRow = 0;
    const int count = std::clamp<int>(numChannels, 0, kMaxChannels);
    for (int c = 0; c < count; ++c)
        rowEffect(c, channels[static_cast<std::size_t>(c)], jump, targetPosition, targetRow);
    if (jump) {
        setOrderPosition(targetPosition);
        nextRow = static_cast<std::int16_t>(targetRow);
    }
}

void Song::rowEffect(int channelIndex, Channel& ch, bool& jump, int& targetPosition, int& targetRow)
{
    const std::uint8_t column = ch.volumeColumn;
    const int cx = column & 0x0F;
    switch (column & 0xF0) {
    case 0x80: ch.volume = clampVolume(ch.volume - cx); break;
    case 0x90: ch.volume = clampVolume(ch.volume + cx); break;
    case 0xA0: if (cx) ch.vibratoSpeed = static_cast<std::int16_t>(cx); break;
    case 0xB0: if (cx) ch.vibratoDepth = static_cast<std::int16_t>(cx); break;
    case 0xC0: ch.panning = static_cast<std::int16_t>(cx * 16); break;
    default: break;
    }

    const int p = ch.parameter;
    const int x = p >> 4;
    const int y = p & 0x0F;
    auto& memory = ch.slideMemory;
    switch (ch.effect) {
    case kArpeggio:
        if (p != 0) {
            ch.arpeggioCounter = 0;
            ch.arpeggioX = static_cast<std::int16_t>(x);
            ch.arpeggioY = static_cast<std::int16_t>(y);
        }
        break;
    case kPortaUp: if (p) ch.portaUpMemory = static_cast<std::int16_t>(p); break;
    case kPortaDown: if (p) ch.portaDownMemory = static_cast<std::int16_t>(p); break;
    case kTonePorta: if (p) ch.tonePortaSpeed = static_cast<std::int16_t>(p); break;
    case kVibrato:
        if (y) ch.vibratoDepth = static_cast<std::int16_t>(y);
        if (x) ch.vibratoSpeed = static_cast<std::int16_t>(x);
        break;
    case kTonePortaVolume: if (p) memory[kSlideTonePortaVolume] = static_cast<std::int16_t>(x - y); break;
    case kVibratoVolume: if (p) memory[kSlideVibratoVolume] = static_cast<std::int16_t>(x - y); break;
    case kVolumeSlide: if (p) memory[kSlideVolume] = static_cast<std::int16_t>(x - y); break;
    case kTremolo:
        if (y) ch.tremoloDepth = static_cast<std::int16_t>(y);
        if (x) ch.tremoloSpeed = static_cast<std::int16_t>(x);
        break;
    case kPanning: ch.panning = static_cast<std::int16_t>(p); break;
    case kJump:
        jump = true;
        targetPosition = p;
        targetRow = 0;
        break;
    case kSetVolume: ch.volume = clampVolume(p); break;
    case kBreak:
        targetRow = 10 * x + y;
        if (!jump || targetPosition < 0)
            targetPosition = orderPosition + 1;
        jump = true;
        break;
    case kSpeed:
        if (p < 32) {
            speed = static_cast<std::int16_t>(p);
        } else {
            bpm = static_cast<std::int16_t>(p);
            setTempo(bpm);
        }
        break;
    case kGlobalVolume: globalVolume = static_cast<std::int16_t>(p); break;
    case kGlobalVolumeSlide: if (x - y) memory[kSlideGlobalVolume] = static_cast<std::int16_t>(x - y); break;
    case kEnvelopePosition: ch.volumeEnvelope.position = p; break;
    case kPanningSlide: if (x - y) memory[kSlidePanning] = static_cast<std::int16_t>(x - y); break;
    case kMultiRetrigger:
        if (x) ch.multiRetriggerVolumeCode = static_cast<std::int16_t>(x);
        if (y) ch.multiRetriggerInterval = static_cast<std::int16_t>(y);
        multiRetriggerStep(ch);
        break;
    case kTremor:
        if (x || y) {
            ch.tremorOnTicks = static_cast<std::int16_t>(x + 1);
            ch.tremorOffTicks = static_cast<std::int16_t>(y + 1);
        }
        ch.tremorGate = 1;
        break;
    case kSync: {
        const std::int32_t due = static_cast<std::int32_t>(tickTime_ + static_cast<std::uint32_t>(syncLatency) - 100u);
        const bool stored = syncEvents.add(static_cast<std::uint16_t>(channelIndex), static_cast<std::uint16_t>(p), due);
        if (syncListener_)
            syncListener_({renderedFrames_, due, static_cast<std::uint16_t>(channelIndex),
                           static_cast<std::uint16_t>(p), stored});
        break;
    }
    case kExtraFine:
        if (x == 1)
            ch.period = clampPeriod(ch.period - y);
        else if (x == 2)
            ch.period = clampPeriod(ch.period + y);
        break;
    case kFineUp:
        if (p) memory[kSlideFineUp] = static_cast<std::int16_t>(p);
        ch.period = clampPeriod(ch.period - memory[kSlideFineUp] * 4);
        break;
    case kFineDown:
        if (p) memory[kSlideFineDown] = static_cast<std::int16_t>(p);
        ch.period = clampPeriod(ch.period + memory[kSlideFineDown] * 4);
        break;
    case kGlissando:
        ch.glissandoPeriod = ch.period;
        ch.glissandoOn = static_cast<std::int16_t>(p & 1);
        break;
    case kVibratoWave:
        ch.vibratoWaveform = static_cast<std::int16_t>(p & 3);
        ch.vibratoNoRetrigger = static_cast<std::int16_t>(p / 4);
        break;
    case kTremoloWave:
        ch.tremoloWaveform = static_cast<std::int16_t>(p & 3);
        ch.tremoloNoRetrigger = static_cast<std::int16_t>(p / 4);
        break;
    case kPatternLoop:
        if (p == 0) {
            ch.loopStartRow = static_cast<std::int16_t>(nextRow - 1);
        } else {
            if (ch.loopCounter == 0)
                ch.loopCounter = static_cast<std::int16_t>(p);
            else
                ch.loopCounter = static_cast<std::int16_t>(ch.loopCounter - 1);
            if (ch.loopCounter != 0)
                nextRow = ch.loopStartRow;
        }
        break;
    case kRetrigger: ch.retriggerCountdown = static_cast<std::int16_t>(p); break;
    case kFineVolumeUp:
        if (p) memory[kSlideFineVolumeUp] = static_cast<std::int16_t>(p);
        ch.volume = clampVolume(ch.volume + memory[kSlideFineVolumeUp]);
        break;
    case kFineVolumeDown:
        if (p) memory[kSlideFineVolumeDown] = static_cast<std::int16_t>(p);
        ch.volume = clampVolume(ch.volume - memory[kSlideFineVolumeDown]);
        break;
    case kNoteCut: if (p == 0) ch.volume = 0; break;
    case kPatternDelay: patternDelay = static_cast<std::int16_t>(p); break;
    default: break;
    }
}

} // namespace music
