#pragma once
// The piece "tp.xm": fourteen sections that follow the show's scenes, with
// the scene markers (effect W, values 1 to 13) and the beat markers (255
// zoom, 254 colour flash, 253 overlay flip) written into its patterns.
#include "assets/music/xm_writer.h"

#include <cstdint>
#include <vector>

namespace assets::music {

constexpr int kChannelCount = 14;
constexpr int kSpeed = 6;   // ticks per row
constexpr int kTempo = 125; // BPM: 50 ticks a second, so a row lasts 120 ms
constexpr std::uint8_t kEffectW = 32; // the synchronisation marker effect (letter W)
constexpr std::uint8_t kZoomMarker = 255;
constexpr std::uint8_t kFlashMarker = 254;
constexpr std::uint8_t kFlipMarker = 253;

// Where a scene marker sits: order position and row.
struct SceneCue {
    int marker; // 1..13
    int order;
    int row;
};

// The thirteen scene cues, in playing order.
const std::vector<SceneCue>& sceneCues();

XmModule composeModule();

// The bytes of data/tp.xm.
std::vector<std::uint8_t> moduleBytes();

} // namespace assets::music
