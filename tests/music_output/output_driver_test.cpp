// The output drivers: block sizes and latencies, the wave driver's servicing
// rule and stop on a fake device, its fatal device errors, and the silent
// driver's timer.
#include "music/module_reader.h"
#include "music/output_driver.h"
#include "music/silent_driver.h"
#include "music/song.h"
#include "music/wave_driver.h"
#include "platform/wave_out_fake.h"
#include "tests/music_output/test_module.h"
#include "tests/support/message_recorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace music;
using music_output_test::markerModule;
using platform::FakeWaveOut;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::unique_ptr<Song> loadedSong(const std::vector<std::pair<int, int>>& markers, std::int32_t rate)
{
    auto song = std::make_unique<Song>();
    auto bytes = music_test::writeXm(markerModule(markers));
    EXPECT_TRUE(readModule(*song, bytes).loaded());
    song->start(rate);
    return song;
}

// A fake device that the test keeps looking at after handing it over.
struct Device {
    FakeWaveOut* fake = nullptr;
    WaveOutFactory factory(FakeWaveOut::Config config = {})
    {
        return [this, config] {
            auto d = std::make_unique<FakeWaveOut>(config);
            fake = d.get();
            return std::unique_ptr<platform::WaveOut>(std::move(d));
        };
    }
};

void waitUntil(const std::function<bool()>& condition)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(OutputSizes, BlocksAndScratchAtTheThreeRates)
{
    // rate x 2400 / 1000 / 8 / 16 x 16, each step truncated:
    // 44100 -> 105840 -> 13230 -> 826 -> 13216
    EXPECT_EQ(waveBufferBytes(44100), 13216u);
    // 22050 -> 52920 -> 6615 -> 413 -> 6608 (1652 frames, 8 x 1652 / 22050 s = 599 ms)
    EXPECT_EQ(waveBufferBytes(22050), 6608u);
    // 11000 -> 26400 -> 3300 -> 206 -> 3296
    EXPECT_EQ(waveBufferBytes(11000), 3296u);
    EXPECT_EQ(silentBufferBytes(44100), 17640u);
    EXPECT_EQ(silentBufferBytes(22050), 8820u);
    EXPECT_EQ(silentBufferBytes(11000), 4400u);
    EXPECT_EQ(waveBufferBytes(0), 0u);
    EXPECT_EQ(waveBufferBytes(-5), 0u);
}

TEST(WaveDriver, LatencyCountsTheDevicesOwnStep)
{
    auto song = loadedSong({}, 22050);
    Device device;
    FakeWaveOut::Config config;
    config.stepLagFrames = 100;
    WaveDriver driver(*song, 22050, device.factory(config)());
    EXPECT_EQ(driver.start(), 0);
    ASSERT_TRUE(device.fake->waitForWrites(8, 10000));
    // floor((7 x 1652 + 100) x 1000 / 22050) = 528
    EXPECT_EQ(song->syncLatency, 528);
    driver.stop();
}

TEST(WaveDriver, StartOpensTheDeviceAndQueuesEightBlocksAtOnce)
{
    auto song = loadedSong({}, 22050);
    Device device;
    WaveDriver driver(*song, 22050, device.factory()());
    FakeWaveOut& fake = *device.fake;
    EXPECT_EQ(driver.start(), 0);
    ASSERT_TRUE(fake.waitForWrites(8, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(fake.writes(), 8); // nothing more until a block finishes
    // Each block's markers wait for the audio queued ahead of it: the last
    // one for seven blocks, floor(7 x 1652 x 1000 / 22050) ms; so does a
    // refilled block in the steady state.
    EXPECT_EQ(song->syncLatency, 524);
    EXPECT_EQ(fake.format().samplesPerSecond, 22050u);
    EXPECT_EQ(fake.format().averageBytesPerSecond, 88200u);
    auto log = fake.log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 4),
                ElementsAre("count", "open 22050", "reset", "reset"));
    std::vector<const std::uint8_t*> expected;
    for (int i = 0; i < 8; ++i)
        expected.push_back(driver.bufferData(i));
    EXPECT_EQ(fake.writeOrder(), expected);
    for (std::size_t i = 4; i < log.size(); i += 3) {
        // Per block: unprepare, prepare, write of the whole block.
        EXPECT_EQ(log[i], "unprepare");
        EXPECT_EQ(log[i + 1], "prepare");
        EXPECT_EQ(log[i + 2], "write 6608");
    }
    ASSERT_TRUE(fake.finishNext());
    ASSERT_TRUE(fake.waitForWrites(9, 10000));
    EXPECT_EQ(song->syncLatency, 524);
    driver.stop();
}

TEST(WaveDriver, ABlockStillQueuedIsSkippedAndServedOnALaterPass)
{
    auto song = loadedSong({}, 11000);
    Device device;
    WaveDriver driver(*song, 11000, device.factory()());
    FakeWaveOut& fake = *device.fake;
    driver.start();
    ASSERT_TRUE(fake.waitForWrites(8, 10000));

    // Blocks 0 and 2 finish; block 1 is still playing.
    ASSERT_TRUE(fake.finishBlock(driver.bufferData(2)));
    ASSERT_TRUE(fake.finishBlock(driver.bufferData(0)));
    ASSERT_TRUE(fake.waitForWrites(10, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(fake.writes(), 10);
    auto order = fake.writeOrder();
    std::vector<const std::uint8_t*> refilled(order.begin() + 8, order.end());
    EXPECT_THAT(refilled, ::testing::UnorderedElementsAre(driver.bufferData(0), driver.bufferData(2)));

    ASSERT_TRUE(fake.finishBlock(driver.bufferData(1)));
    ASSERT_TRUE(fake.waitForWrites(11, 10000));
    EXPECT_EQ(fake.writeOrder().back(), driver.bufferData(1));
    driver.stop();
}

TEST(WaveDriver, BlocksCarryTheSongsOutputInOrder)
{
    // The device plays exactly what the song renders, block after block:
    // compare with a second song rendering the same module by itself.
    auto song = loadedSong({}, 44100);
    auto reference = loadedSong({}, 44100);
    Device device;
    WaveDriver driver(*song, 44100, device.factory()());
    FakeWaveOut& fake = *device.fake;
    driver.start();
    ASSERT_TRUE(fake.waitForWrites(8, 10000));
    for (int round = 0; round < 12; ++round) {
        ASSERT_TRUE(fake.finishNext());
        ASSERT_TRUE(fake.waitForWrites(9 + round, 10000));
    }
    driver.stop();
    auto played = fake.played();
    ASSERT_EQ(played.size(), 12u * 13216u);
    std::vector<std::uint8_t> expected(played.size());
    for (int block = 0; block < 12; ++block)
        reference->fillBuffer(expected.data() + block * 13216, 13216);
    EXPECT_TRUE(played == expected);
    bool anySound = false;
    for (std::uint8_t b : played)
        anySound = anySound || b != 0;
    EXPECT_TRUE(anySound);
}

TEST(WaveDriver, StopResetsAndClosesTheDeviceThenReleasesTheMarkerTable)
{
    auto song = loadedSong({}, 44100);
    Device device;
    auto driver = std::make_unique<WaveDriver>(*song, 44100, device.factory()());
    FakeWaveOut& fake = *device.fake;
    driver->start();
    ASSERT_TRUE(fake.waitForWrites(8, 10000));
    EXPECT_TRUE(song->syncEvents.created());
    driver->stop();
    EXPECT_TRUE(driver->threadFinished());
    EXPECT_FALSE(song->syncEvents.created());
    EXPECT_FALSE(fake.isOpen());
    EXPECT_EQ(fake.queued(), 0);
    auto log = fake.log();
    EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()), ElementsAre("reset", "close"));
    driver->stop(); // again: nothing
    driver.reset();
}

// The clock the player reads at every tick: on the mixing thread it can hold
// a fill in the middle for a while.
class HoldingClock final : public platform::Clock {
public:
    std::atomic<bool> hold{false};
    std::atomic<bool> holding{false};
    std::atomic<bool> released{false};
    std::atomic<bool> tableAliveAfterHold{false};
    Song* song = nullptr;
    std::uint32_t nowMs() override
    {
        if (std::this_thread::get_id() != owner_ && hold.exchange(false)) {
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            tableAliveAfterHold = song->syncEvents.created();
            released = true;
        }
        return 5000;
    }

private:
    std::thread::id owner_ = std::this_thread::get_id();
};

TEST(WaveDriver, StopDuringAFillWaitsForTheFillBeforeReleasingTheTable)
{
    // Markers on every row, so that the interrupted fill writes events into
    // the table while stop is waiting.
    std::vector<std::pair<int, int>> markers;
    for (int row = 0; row < 64; ++row)
        markers.emplace_back(row, 100 + row);
    auto song = loadedSong(markers, 44100);
    HoldingClock clock;
    clock.song = song.get();
    song->setClock(clock);
    Device device;
    WaveDriver driver(*song, 44100, device.factory()());
    FakeWaveOut& fake = *device.fake;
    driver.start();
    ASSERT_TRUE(fake.waitForWrites(8, 10000));
    clock.hold = true;
    fake.finishNext(); // the thread wakes and starts filling, then holds
    waitUntil([&] { return clock.holding.load(); });
    ASSERT_TRUE(clock.holding);
    driver.stop();
    EXPECT_TRUE(clock.released); // the fill ended before stop returned
    EXPECT_TRUE(clock.tableAliveAfterHold); // and the table was there all through it
    EXPECT_FALSE(song->syncEvents.created());
}

// A failed last reset leaves the blocks queued on a device that then cannot
// be closed: it may still play them (and signal the event), so stop keeps
// them alive; they go with the driver, after the device.
TEST(WaveDriver, AFailedLastResetKeepsTheQueuedBlocksAliveForTheDevice)
{
    auto song = loadedSong({}, 44100);
    testing_support::MessageRecorder boxes;
    FakeWaveOut::Config config;
    config.resetResults = {platform::waveOk, platform::waveOk, platform::waveError}; // start's two, then the thread's
    Device device;
    WaveDriver driver(*song, 44100, device.factory(config)());
    FakeWaveOut& fake = *device.fake;
    driver.start();
    ASSERT_TRUE(fake.waitForWrites(8, 10000));
    driver.stop();
    EXPECT_TRUE(driver.threadFinished());
    EXPECT_FALSE(song->syncEvents.created());
    ASSERT_EQ(boxes.messages().size(), 1u); // the failed reset's number, no exit
    EXPECT_EQ(boxes.messages()[0].text, "1");
    EXPECT_TRUE(fake.isOpen());
    ASSERT_EQ(fake.queued(), 8);
    ASSERT_NE(driver.bufferData(0), nullptr);
    const std::vector<std::uint8_t> first(driver.bufferData(0), driver.bufferData(0) + driver.bufferBytes());
    EXPECT_TRUE(fake.finishNext()); // the device plays on from the first block
    EXPECT_EQ(fake.played(), first);
}

TEST(WaveDriver, StartAndStopManyTimes)
{
    auto song = loadedSong({{0, 1}}, 11000);
    for (int i = 0; i < 100; ++i) {
        Device device;
        WaveDriver driver(*song, 11000, device.factory()());
        driver.start();
        if (i % 2)
            device.fake->waitForWrites(8, 10000);
        if (i % 3 == 0)
            device.fake->finishNext();
        driver.stop();
        ASSERT_FALSE(device.fake->isOpen()) << i;
    }
}

// Starts a wave driver on a fake device with the given failures and waits
// for its mixing thread; a fatal error ends the process before the wait does.
void startFailing(const FakeWaveOut::Config& config)
{
    auto song = loadedSong({}, 44100);
    Device device;
    WaveDriver driver(*song, 44100, device.factory(config)());
    driver.start();
    std::this_thread::sleep_for(std::chrono::seconds(10));
}

TEST(WaveDriverDeathTest, NoDeviceIsFatal)
{
    FakeWaveOut::Config config;
    config.devices = 0;
    EXPECT_EXIT(startFailing(config), testing::ExitedWithCode(1),
                HasSubstr("Ert resultat av iq-testet: Inge output ledig!"));
}

TEST(WaveDriverDeathTest, OpenFailureShowsTheNumberThenIsFatal)
{
    FakeWaveOut::Config config;
    config.openResult = platform::waveAllocated;
    EXPECT_EXIT(startFailing(config), testing::ExitedWithCode(1),
                testing::AllOf(HasSubstr("[message box] 4: errro"),
                               HasSubstr("Ert resultat av iq-testet: Setup handle failed / Threader")));
}

TEST(WaveDriverDeathTest, ResetFailuresAreFatal)
{
    FakeWaveOut::Config first;
    first.resetResults = {platform::waveError};
    EXPECT_EXIT(startFailing(first), testing::ExitedWithCode(1),
                testing::AllOf(HasSubstr("[message box] 1: 1"), HasSubstr("iq-testet: restest")));
    FakeWaveOut::Config second;
    second.resetResults = {platform::waveOk, platform::waveNoDriver};
    EXPECT_EXIT(startFailing(second), testing::ExitedWithCode(1),
                testing::AllOf(HasSubstr("[message box] 6: 6"), HasSubstr("iq-testet: Reset2 failed")));
}

TEST(WaveDriverDeathTest, BlockServiceFailuresOnTheMixingThreadAreFatal)
{
    FakeWaveOut::Config unprepare;
    unprepare.unprepareResult = platform::waveStillPlaying;
    EXPECT_EXIT(startFailing(unprepare), testing::ExitedWithCode(1),
                HasSubstr("Ert resultat av iq-testet: waveoutUnprepare"));
    FakeWaveOut::Config prepare;
    prepare.prepareResult = platform::waveNoMemory;
    EXPECT_EXIT(startFailing(prepare), testing::ExitedWithCode(1),
                HasSubstr("Ert resultat av iq-testet: waveOutPrepareHeader"));
    FakeWaveOut::Config write;
    write.writeResult = platform::waveUnprepared;
    EXPECT_EXIT(startFailing(write), testing::ExitedWithCode(1),
                HasSubstr("Ert resultat av iq-testet: waveOutWrite"));
}

TEST(SilentDriver, RunsThePlayerEveryHundredMillisecondsWithMarkersDueAtOnce)
{
    auto song = loadedSong({{0, 7}, {1, 8}}, 44100);
    platform::ManualClock clock(20000); // never moves: only the latency decides
    song->setClock(clock);
    SilentDriver driver(*song, 44100);
    EXPECT_EQ(driver.bufferBytes(), 17640u);
    EXPECT_EQ(driver.start(), 0);
    EXPECT_EQ(song->syncLatency, 10);
    // 100 ms of music a call: 4410 frames, 5 ticks of 882 frames, so the
    // first rows come in the first calls. A marker is due at tick time - 90.
    int seven = -1, eight = -1;
    waitUntil([&] {
        if (seven < 0)
            seven = song->takeSync(7);
        if (eight < 0)
            eight = song->takeSync(8);
        return seven >= 0 && eight >= 0;
    });
    EXPECT_EQ(seven, 7);
    EXPECT_EQ(eight, 8);
    EXPECT_EQ(song->takeSync(7), -1); // exactly once
    driver.stop();
    EXPECT_FALSE(song->syncEvents.created());
    std::uint64_t frames = song->renderedFrames();
    EXPECT_GT(frames, 0u);
    EXPECT_EQ(frames % 4410, 0u); // whole 100 ms calls
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(song->renderedFrames(), frames); // the timer is gone
}

TEST(OutputDriver, DriverNumberChoosesTheOutput)
{
    {
        auto song = loadedSong({}, 22050);
        Device device;
        OutputDriver driver(*song, 1, 22050, device.factory());
        EXPECT_EQ(driver.start(), 0);
        ASSERT_NE(device.fake, nullptr);
        EXPECT_TRUE(device.fake->waitForWrites(8, 10000));
        driver.stop();
        EXPECT_FALSE(device.fake->isOpen());
    }
    {
        auto song = loadedSong({}, 22050);
        Device device;
        OutputDriver driver(*song, 0, 22050, device.factory());
        EXPECT_EQ(driver.start(), 0);
        EXPECT_EQ(device.fake, nullptr); // no device for the silent driver
        EXPECT_EQ(song->syncLatency, 10);
    } // destruction stops it
    for (int number : {2, -1, 7}) {
        auto song = loadedSong({}, 22050);
        Device device;
        OutputDriver driver(*song, number, 22050, device.factory());
        EXPECT_EQ(driver.start(), 1); // nothing plays
        EXPECT_EQ(device.fake, nullptr);
        EXPECT_FALSE(song->syncEvents.created());
        driver.stop();
    }
}

} // namespace
