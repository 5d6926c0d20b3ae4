#pragma once
// The browser's services that the entry routine wires up itself: the page's
// Escape key, the Web Audio stream and its position as the clock, and the
// canvas. The page (index.html) provides the JavaScript side as Module.page.
#include "platform/audio_position_clock.h"
#include "platform/audio_stream.h"
#include "platform/keyboard.h"

#include <cstdint>
#include <memory>

namespace platform {

// Escape pressed on the page since the show started (the page's key
// listener sets it; browsers use the first press to leave full screen).
EscapeKey& pageEscapeKey();
void clearPageEscape();

// The Web Audio stream: a ScriptProcessorNode on an AudioContext made at
// the stream's rate, whose callback asks for each block.
std::unique_ptr<AudioStream> createWebAudioStream();
// The position of the audio heard on the stream; 0 before it plays.
AudioPositionClock& webAudioClock();

// Puts a 320x200-style page of 0x00RRGGBB words on the page's canvas
// through its one kept ImageData.
void showOnCanvas(const std::uint8_t* page, int pitch, int width, int height);
// Milliseconds the last showOnCanvas took (conversion and putImageData).
double lastCanvasMs();

} // namespace platform
