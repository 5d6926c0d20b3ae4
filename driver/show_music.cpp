#include "driver/show_music.h"

#include "driver/timeline.h"
#include "music/marker_seek.h"

#include <cstdlib>
#include <cstring>

namespace driver {

bool seekToScene(music::Song& song, int scene)
{
    return scene <= 0 || music::seekToMarker(song, scene);
}

std::unique_ptr<MarkerSource> demoMusic(int firstScene, music::MusicServices services)
{
    if (firstScene > 0)
        services.beforeOutput = [firstScene](music::Song& song) { seekToScene(song, firstScene); };
    return std::make_unique<FacadeMarkers>(musicPath, musicFlagWord, std::move(services));
}

int firstSceneForTests()
{
    const char* text = std::getenv("DEMO_TEST_FIRST_SCENE");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    const long scene = std::strtol(text, &end, 10);
    if (*end != '\0' || scene < 0 || scene > lastScene)
        return 0;
    return static_cast<int>(scene);
}

} // namespace driver
