#pragma once
// The show's music as the timeline sees it: the marker query of the music
// facade (live, played by the output driver) or of the offline music (a
// recording, rendered in step with the pictures).
#include "driver/scene_artist.h"
#include "music/music_facade.h"
#include "music/offline_music.h"

#include <memory>

namespace driver {

inline constexpr const char* musicPath = "data/tp.xm";
// The set-up window's flag word: bit 0 leaves the "MMX Mixer" box disabled.
constexpr std::uint32_t musicFlagWord = 1;

class FacadeMarkers final : public MarkerSource {
public:
    template <class... Args>
    explicit FacadeMarkers(Args&&... args) : facade_(std::forward<Args>(args)...)
    {
    }
    int takeSync(int n) override { return facade_.takeSync(n); }
    music::MusicFacade& facade() { return facade_; }

private:
    music::MusicFacade facade_;
};

class OfflineMarkers final : public MarkerSource {
public:
    explicit OfflineMarkers(music::OfflineMusic& music) : music_(music) {}
    int takeSync(int n) override { return music_.takeSync(n); }

private:
    music::OfflineMusic& music_;
};

// The demo's music: the facade with "data/tp.xm" and flag word 1. From a
// later scene, the song starts at the row of that scene's marker.
std::unique_ptr<MarkerSource> demoMusic(int firstScene, music::MusicServices services = {});

// Moves a started song to the row that starts `scene` (its marker's row);
// scene 0 is the song's start. False when the module lacks the marker.
bool seekToScene(music::Song& song, int scene);

// The scene a test asks the demo to start from, by the environment variable
// DEMO_TEST_FIRST_SCENE (0 to 13); 0 when it is not set or not a scene.
int firstSceneForTests();

} // namespace driver
