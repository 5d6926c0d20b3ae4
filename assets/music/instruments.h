#pragma once
// The instrument set of the piece: synthesised samples with their envelopes,
// panning, keymaps and auto-vibrato.
#include "assets/music/xm_writer.h"

#include <vector>

namespace assets::music {

// Instrument numbers as the patterns name them (1-based, as in XM cells).
enum Instrument : std::uint8_t {
    kKick = 1,
    kSnare,
    kClosedHat,
    kOpenHat,
    kCrash,
    kBass,
    kPad,
    kGatePad,
    kLead,
    kLeadEcho,
    kChip,
    kBell,
    kWind,
    kBassLong,
    kInstrumentCount = kBassLong
};

std::vector<XmInstrument> buildInstruments();

} // namespace assets::music
