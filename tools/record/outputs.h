#pragma once
// Where a recording goes: a video with sound made by ffmpeg (.mp4, .mkv), or
// a folder of numbered PNG frames and one WAV.
#include "tools/record/recording.h"
#include "tools/xmrender/wav_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace record {

class Output {
public:
    virtual ~Output() = default;
    // False with a message in error() when writing failed.
    virtual bool write(const RecordedFrame& frame) = 0;
    virtual bool finish() = 0;
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// True for the names that make a video.
bool isVideoName(const std::string& path);
// True when an ffmpeg program can be run.
bool ffmpegAvailable();

// The pictures are piped raw to ffmpeg, which encodes them scaled by an
// integer factor with nearest-neighbour sampling into a temporary video; the
// sound goes to a temporary WAV; finish() joins the two into `path`.
std::unique_ptr<Output> openVideo(const std::string& path, int fps, std::int32_t rate, int scale, std::string& error);

// `folder`/frame000000.png, ... and `folder`/audio.wav.
std::unique_ptr<Output> openFolder(const std::string& folder, std::int32_t rate, std::string& error);

} // namespace record
