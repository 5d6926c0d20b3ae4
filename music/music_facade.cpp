#include "music/music_facade.h"

#include "music/mixer.h"
#include "music/module_reader.h"
#include "music/periods.h"
#include "music/setup_window.h"
#include "music/song.h"

namespace music {

MusicFacade::MusicFacade(const std::string& path, std::uint32_t flagWord, MusicServices services)
{
    // 1. Defaults, and the shared tables built now rather than on the mixing
    //    thread's first call.
    options_ = SoundOptions{};
    volumeTable();
    periodToNote();

    // 2. The user's choice.
    setupResult_ = showSetupWindow(flagWord, options_, services.openSetupWindow);

    // 3. The song and its module; the window's flip does not survive this.
    song_ = std::make_unique<Song>();
    if (services.clock)
        song_->setClock(*services.clock);
    song_->initialise();
    loaded_ = loadModule(*song_, path);
    applyOptionsWord(options_, 0);
    song_->setOutputOptions({options_.flip, options_.mute, options_.mmxMixer});

    // 4 and 5. Start the song (tempo, pitch table for the rate), then the output.
    song_->start(options_.mixingRate);
    if (services.beforeOutput)
        services.beforeOutput(*song_);
    output_ = std::make_unique<OutputDriver>(*song_, options_.outputDriver, options_.mixingRate,
                                             std::move(services.makeWaveOut), std::move(services.makeAudioStream));
    startResult_ = output_->start(); // nobody acts on a failure: the music just does not run
    playing_ = true;
}

MusicFacade::~MusicFacade()
{
    if (playing_)
        output_->stop();
}

int MusicFacade::takeSync(int n)
{
    return song_->takeSync(n);
}

} // namespace music
