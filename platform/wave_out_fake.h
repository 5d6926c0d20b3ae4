#pragma once
// A wave-output device for tests: nothing is played; the test finishes the
// queued blocks when it wants and chooses the results of every call.
#include "platform/wave_out.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

class FakeWaveOut final : public WaveOut {
public:
    struct Config {
        unsigned devices = 1;
        WaveResult openResult = waveOk;
        std::vector<WaveResult> resetResults; // one per reset call in order; then waveOk
        WaveResult prepareResult = waveOk;
        WaveResult unprepareResult = waveOk;
        WaveResult writeResult = waveOk;
        WaveResult closeResult = waveOk;
        std::uint32_t stepLagFrames = 0; // what stepLagFrames() answers
    };

    FakeWaveOut() = default;
    explicit FakeWaveOut(Config config) : config_(std::move(config)) {}

    unsigned deviceCount() override;
    WaveResult open(const WaveFormat& format, AutoResetEvent& event) override;
    WaveResult prepare(WaveHeader& header) override;
    WaveResult unprepare(WaveHeader& header) override;
    WaveResult write(WaveHeader& header) override;
    WaveResult reset() override;
    WaveResult close() override;
    // The lengths of the queued blocks (the fake takes a block whole).
    std::uint32_t queuedBytes() override;
    std::uint32_t stepLagFrames() override { return config_.stepLagFrames; }

    // Test side, callable from any thread.
    // Plays the oldest queued block: keeps a copy of its bytes, marks it
    // done and signals the event. False when nothing is queued.
    bool finishNext();
    // Plays every queued block, oldest first; returns how many.
    int finishAll();
    // Plays the queued block whose data is at `data`, out of turn (a real
    // device finishes in order; this lets a test leave an older block
    // pending). False when no such block is queued.
    bool finishBlock(const std::uint8_t* data);
    // Blocks until at least `count` blocks have been written in total, or
    // `ms` milliseconds passed; true when they were.
    bool waitForWrites(int count, int ms);
    int queued() const;
    int writes() const;
    bool isOpen() const;
    WaveFormat format() const;
    // Bytes of the finished blocks, in the order they were played.
    std::vector<std::uint8_t> played() const;
    // One line per call: "count", "open 44100", "prepare", "unprepare",
    // "write 13216", "reset", "close" (with " -> N" when a call failed).
    std::vector<std::string> log() const;
    // The data address of every block written, in the order written.
    std::vector<const std::uint8_t*> writeOrder() const;

private:
    WaveResult note(std::string what, WaveResult result);
    bool finishWhere(const std::uint8_t* data, bool first);

    Config config_;
    mutable std::mutex mutex_;
    std::condition_variable written_;
    AutoResetEvent* event_ = nullptr;
    bool open_ = false;
    WaveFormat format_;
    std::deque<WaveHeader*> queue_;
    std::vector<std::uint8_t> played_;
    std::vector<std::string> log_;
    std::vector<const std::uint8_t*> writeOrder_;
    std::size_t resets_ = 0;
    int writes_ = 0;
};

} // namespace platform
