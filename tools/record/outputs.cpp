#include "tools/record/outputs.h"

#include "platform/child_process.h"
#include "tools/common/png_file.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace record {

namespace {

constexpr int width = 320;
constexpr int height = 200;

bool endsWith(const std::string& text, const char* tail)
{
    const std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

class VideoOutput final : public Output {
public:
    VideoOutput(std::string path, int fps, std::int32_t rate, int scale)
        : path_(std::move(path)), fps_(fps), rate_(rate), scale_(scale), videoPath_(path_ + ".video.mkv"),
          audioPath_(path_ + ".audio.wav")
    {
    }
    ~VideoOutput() override
    {
        pipe_.close();
        std::error_code ignored;
        std::filesystem::remove(videoPath_, ignored);
        std::filesystem::remove(audioPath_, ignored);
    }

    bool open()
    {
        if (!wav_.open(audioPath_, static_cast<std::uint32_t>(rate_))) {
            error_ = "cannot write " + audioPath_;
            return false;
        }
        // One thread: the same settings encode to the same bytes.
        const std::string command =
            "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pixel_format bgr0 -video_size 320x200 -framerate " +
            std::to_string(fps_) + " -i - -vf scale=iw*" + std::to_string(scale_) + ":ih*" + std::to_string(scale_) +
            ":flags=neighbor -c:v libx264 -preset veryfast -crf 16 -pix_fmt yuv420p -threads 1 " +
            platform::shellQuoted(videoPath_);
        if (!pipe_.open(command)) {
            error_ = "cannot start ffmpeg";
            return false;
        }
        return true;
    }

    bool write(const RecordedFrame& frame) override
    {
        for (int y = 0; y < height; ++y)
            if (!pipe_.write(frame.pixels + static_cast<std::size_t>(y) * frame.pitch, width * 4)) {
                error_ = "ffmpeg stopped taking frames";
                return false;
            }
        if (!wav_.write(frame.audio.data(), static_cast<std::uint32_t>(frame.audio.size()))) {
            error_ = "writing " + audioPath_ + " failed";
            return false;
        }
        return true;
    }

    bool finish() override
    {
        if (!pipe_.close()) {
            error_ = "ffmpeg could not encode the pictures";
            return false;
        }
        if (!wav_.close()) {
            error_ = "writing " + audioPath_ + " failed";
            return false;
        }
        const std::string audioCodec = endsWith(path_, ".mkv") ? "flac" : "aac -b:a 256k";
        const std::string command = "ffmpeg -hide_banner -loglevel error -y -i " + platform::shellQuoted(videoPath_) + " -i " +
                                    platform::shellQuoted(audioPath_) + " -map 0:v -map 1:a -c:v copy -c:a " + audioCodec +
                                    " -threads 1 " + platform::shellQuoted(path_);
        if (!platform::runCommand(command)) {
            error_ = "ffmpeg could not join the pictures and the sound into " + path_;
            return false;
        }
        return true;
    }

private:
    std::string path_;
    int fps_;
    std::int32_t rate_;
    int scale_;
    std::string videoPath_, audioPath_;
    platform::CommandPipe pipe_;
    xmrender::WavFile wav_;
};

class FolderOutput final : public Output {
public:
    FolderOutput(std::string folder, std::int32_t rate) : folder_(std::move(folder)), rate_(rate) {}

    bool open()
    {
        std::error_code failure;
        std::filesystem::create_directories(folder_, failure);
        if (failure || !wav_.open(folder_ + "/audio.wav", static_cast<std::uint32_t>(rate_))) {
            error_ = "cannot write into " + folder_;
            return false;
        }
        return true;
    }

    bool write(const RecordedFrame& frame) override
    {
        auto* pixels = static_cast<std::uint8_t*>(picture_.lock());
        for (int y = 0; y < height; ++y)
            std::memcpy(pixels + static_cast<std::size_t>(y) * picture_.pitch(),
                        frame.pixels + static_cast<std::size_t>(y) * frame.pitch, width * 4);
        picture_.unlock();
        char name[32];
        std::snprintf(name, sizeof name, "/frame%06llu.png", static_cast<unsigned long long>(frame.index));
        if (!tools::writePng(picture_, folder_ + name, error_))
            return false;
        if (!wav_.write(frame.audio.data(), static_cast<std::uint32_t>(frame.audio.size()))) {
            error_ = "writing " + folder_ + "/audio.wav failed";
            return false;
        }
        return true;
    }

    bool finish() override
    {
        if (!wav_.close()) {
            error_ = "writing " + folder_ + "/audio.wav failed";
            return false;
        }
        return true;
    }

private:
    std::string folder_;
    std::int32_t rate_;
    display::Surface picture_{width, height, display::format32()};
    xmrender::WavFile wav_;
};

} // namespace

bool isVideoName(const std::string& path) { return endsWith(path, ".mp4") || endsWith(path, ".mkv"); }

bool ffmpegAvailable() { return platform::runCommand("ffmpeg -hide_banner -version >/dev/null 2>&1"); }

std::unique_ptr<Output> openVideo(const std::string& path, int fps, std::int32_t rate, int scale, std::string& error)
{
    auto output = std::make_unique<VideoOutput>(path, fps, rate, scale);
    if (!output->open()) {
        error = output->error();
        return nullptr;
    }
    return output;
}

std::unique_ptr<Output> openFolder(const std::string& folder, std::int32_t rate, std::string& error)
{
    auto output = std::make_unique<FolderOutput>(folder, rate);
    if (!output->open()) {
        error = output->error();
        return nullptr;
    }
    return output;
}

} // namespace record
