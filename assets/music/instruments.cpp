#include "assets/music/instruments.h"

#include "assets/music/synth.h"

namespace assets::music {

namespace {

XmEnvelope envelope(std::vector<XmEnvelopePoint> points)
{
    XmEnvelope e;
    e.points = std::move(points);
    e.on = true;
    return e;
}

XmEnvelope withSustain(XmEnvelope e, std::uint8_t point)
{
    e.sustain = true;
    e.sustainPoint = point;
    return e;
}

XmEnvelope withLoop(XmEnvelope e, std::uint8_t start, std::uint8_t end)
{
    e.loop = true;
    e.loopStart = start;
    e.loopEnd = end;
    return e;
}

XmInstrument single(const char* name, XmSample sample, std::uint8_t volume, std::uint8_t panning)
{
    XmInstrument ins;
    ins.name = name;
    sample.volume = volume;
    sample.panning = panning;
    ins.samples.push_back(std::move(sample));
    return ins;
}

} // namespace

std::vector<XmInstrument> buildInstruments()
{
    std::vector<XmInstrument> list;

    // Drums: one-shot samples whose own decay is the envelope.
    list.push_back(single("Kick", makeKick(), 64, 128));
    list.push_back(single("Snare", makeSnare(), 50, 120));
    list.push_back(single("Closed hat", makeClosedHat(), 36, 160));
    list.push_back(single("Open hat", makeOpenHat(), 34, 150));
    list.push_back(single("Crash", makeCrash(), 40, 96));

    // Bass: a pluck that dies away by itself within 24 ticks.
    XmInstrument bass = single("Bass", makeBass(), 56, 128);
    bass.volumeEnvelope = envelope({{0, 64}, {2, 58}, {8, 40}, {16, 12}, {24, 0}});
    list.push_back(std::move(bass));

    // Pad: soft attack from silence (the voices start at any phase, so the
    // first frame is not zero), then a slow swell that loops while the chord lasts;
    // a long fade after key-off.
    XmInstrument pad = single("Pad", makePad(), 30, 128);
    pad.volumeEnvelope = withLoop(envelope({{0, 0}, {3, 36}, {10, 60}, {40, 46}, {90, 62}, {140, 46}}), 3, 5);
    pad.fadeout = 400;
    list.push_back(std::move(pad));

    // Gate pad: a two-row loop (12 ticks at speed 6) that chops the chord
    // into a rhythmic pulse.
    XmInstrument gate = single("Gate pad", makeGatePad(), 34, 128);
    gate.volumeEnvelope = withLoop(envelope({{0, 64}, {3, 50}, {5, 6}, {6, 40}, {8, 30}, {11, 4}, {12, 64}}), 0, 6);
    gate.fadeout = 1500;
    list.push_back(std::move(gate));

    // Lead: three samples chosen by the keymap (higher ones with fewer
    // harmonics, so that no partial goes past the audible range), sustain,
    // and a delayed auto-vibrato.
    XmInstrument lead;
    lead.name = "Lead";
    lead.samples.push_back(makeLead(LeadRange::Low));
    lead.samples.push_back(makeLead(LeadRange::Middle));
    lead.samples.push_back(makeLead(LeadRange::High));
    for (auto& s : lead.samples) {
        s.volume = 44;
        s.panning = 118;
    }
    for (int i = 0; i < 96; ++i)
        lead.keymap[static_cast<std::size_t>(i)] = i >= 72 ? 2 : (i >= 60 ? 1 : 0); // from C-5, from C-6
    lead.volumeEnvelope = withSustain(envelope({{0, 0}, {2, 64}, {10, 52}, {60, 44}}), 2);
    lead.fadeout = 1200;
    lead.vibratoType = 0;
    lead.vibratoSweep = 40;
    lead.vibratoDepth = 3;
    lead.vibratoRate = 10;
    XmInstrument echo = lead;
    echo.name = "Lead echo";
    for (auto& s : echo.samples) {
        s.volume = 22;
        s.panning = 200;
    }
    list.push_back(std::move(lead));
    list.push_back(std::move(echo));

    // Chip arpeggio: short pluck that sustains low, panned by a looping
    // panning envelope that sweeps it across the stereo field.
    XmInstrument chip = single("Chip", makeChip(), 30, 128);
    chip.volumeEnvelope = withSustain(envelope({{0, 64}, {4, 40}, {16, 28}}), 2);
    chip.panningEnvelope = withLoop(envelope({{0, 32}, {48, 12}, {144, 52}, {192, 32}}), 0, 3);
    chip.fadeout = 4000;
    list.push_back(std::move(chip));

    // Bell: its own decay, with a release when a note is keyed off.
    XmInstrument bell = single("Bell", makeBell(), 40, 150);
    bell.volumeEnvelope = withSustain(envelope({{0, 64}, {100, 64}}), 1);
    bell.fadeout = 900;
    list.push_back(std::move(bell));

    // Wind: slow rise, sustain, slow fade: risers and the intro's air.
    XmInstrument wind = single("Wind", makeWind(), 40, 108);
    wind.volumeEnvelope = withSustain(envelope({{0, 0}, {60, 48}, {120, 64}}), 2);
    wind.fadeout = 600;
    list.push_back(std::move(wind));

    // Long bass (the same cycle): short attack, holds at 44 while the key is
    // down, quick release.
    XmInstrument bassLong = single("Long bass", makeBass(), 56, 128);
    bassLong.volumeEnvelope = withSustain(envelope({{0, 64}, {3, 56}, {12, 44}}), 2);
    bassLong.fadeout = 3000;
    list.push_back(std::move(bassLong));

    return list;
}

} // namespace assets::music
