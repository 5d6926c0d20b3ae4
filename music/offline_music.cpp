#include "music/offline_music.h"

#include "music/mixer.h"
#include "music/module_reader.h"
#include "music/periods.h"

namespace music {

OfflineMusic::OfflineMusic(const std::string& path, std::int32_t rate, platform::Clock& clock) : rate_(rate)
{
    volumeTable();
    periodToNote();
    song_ = std::make_unique<Song>();
    song_->setClock(clock);
    song_->initialise();
    loaded_ = loadModule(*song_, path);
    song_->setOutputOptions({});
    song_->start(rate);
    song_->syncReset(latencyMs);
}

OfflineMusic::~OfflineMusic()
{
    song_->syncRelease();
}

} // namespace music
