#pragma once
// The sounds of the piece, synthesised from integer arithmetic only.
//
// Pitch convention: a looped tone whose cycle is L frames long is tuned so
// that note C-4 plays middle C (261.63 Hz) when the sample carries relative
// note 12 x log2(L / 32) and finetune 2 (at C-4 a sample plays at 8363 Hz;
// 8363 / 261.63 = 31.965 frames per cycle, 2/128 of a semitone above 32).
// One-shot drums are made at 33452 Hz (8363 x 4, relative note 24), so that
// note C-4 plays them at their own rate.
#include "assets/music/xm_writer.h"

namespace assets::music {

constexpr int kDrumRate = 33452;

XmSample makeKick();
XmSample makeSnare();
XmSample makeClosedHat();
XmSample makeOpenHat();
XmSample makeCrash();
XmSample makeBass();      // 8-bit single cycle, forward loop
XmSample makePad();       // 16-bit detuned saws, ping-pong loop
XmSample makeGatePad();   // 16-bit brighter detuned saws, forward loop
enum class LeadRange { Low, Middle, High }; // below C-5, C-5 to B-5, C-6 and up
XmSample makeLead(LeadRange range); // 16-bit two detuned voices, forward loop
XmSample makeChip();      // 8-bit band-limited pulse, forward loop
XmSample makeBell();      // 16-bit FM bell, one shot
XmSample makeWind();      // 8-bit resonant filtered noise, ping-pong loop

// Relative note for a loop whose cycle is `cycleFrames` long (a power of two
// from 32 to 1024), with finetune 2. Long cycles make the mixer, which takes
// the sample at the integer position without interpolation, step through the
// sample faster than the output rate, so that its hold steps stay small.
std::int8_t relativeNoteForCycle(int cycleFrames);

} // namespace assets::music
