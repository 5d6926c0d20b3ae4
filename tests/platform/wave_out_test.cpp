// The wave-output device: the system one (on Linux SDL2 under SDL's dummy
// audio driver, which plays nothing but pulls audio in real time; on Windows
// the multimedia wave output, under Wine on ALSA's null device), and the fake.
#include "platform/environment.h"
#include "platform/wave_out.h"
#include "platform/wave_out_fake.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace platform;
using ::testing::ElementsAre;

struct Block {
    std::vector<std::uint8_t> bytes;
    WaveHeader header;
    Block(std::uint32_t length, std::uint8_t fill) : bytes(length, fill)
    {
        header.data = bytes.data();
        header.length = length;
        header.flags = waveHeaderDone;
    }
};

std::unique_ptr<WaveOut> systemDevice()
{
    platform::setEnvironmentVariable("SDL_AUDIODRIVER", "dummy");
    return createDefaultWaveOut();
}

TEST(SystemWaveOut, DummyDriverOffersADevice)
{
    auto device = systemDevice();
    EXPECT_GE(device->deviceCount(), 1u);
}

TEST(SystemWaveOut, PlaysQueuedBlocksInOrderAtTheRateAndSignalsEach)
{
    auto device = systemDevice();
    AutoResetEvent event;
    ASSERT_EQ(device->open(WaveFormat::stereo16(44100), event), waveOk);
    EXPECT_TRUE(event.waitFor(0)); // signalled once on open
    EXPECT_FALSE(event.waitFor(0));

    // Four blocks of 2205 frames, 50 ms each.
    std::vector<std::unique_ptr<Block>> blocks;
    for (int i = 0; i < 4; ++i) {
        blocks.push_back(std::make_unique<Block>(2205 * 4, static_cast<std::uint8_t>(i)));
        ASSERT_EQ(device->prepare(blocks.back()->header), waveOk);
    }
    for (auto& b : blocks) {
        ASSERT_EQ(device->write(b->header), waveOk);
        EXPECT_FALSE(b->header.done());
    }
    // Each wake-up finds a prefix of the queue done: blocks finish in order.
    int done = 0;
    while (done < 4) {
        ASSERT_TRUE(event.waitFor(3000)) << "no block finished";
        int now = 0;
        while (now < 4 && blocks[now]->header.done())
            ++now;
        for (int i = now; i < 4; ++i)
            EXPECT_FALSE(blocks[i]->header.done()) << "block " << i << " finished before an earlier one";
        EXPECT_GE(now, done); // a finished block never comes back
        done = now;
    }
    for (auto& b : blocks) {
        EXPECT_EQ(b->header.flags & waveHeaderInQueue, 0u);
        EXPECT_EQ(device->unprepare(b->header), waveOk);
    }
    EXPECT_EQ(device->close(), waveOk);
}

TEST(SystemWaveOut, EnforcesTheHeaderRules)
{
    auto device = systemDevice();
    AutoResetEvent event;
    Block block(441 * 4 * 100, 0); // one second: stays queued during the test
    EXPECT_EQ(device->write(block.header), waveInvalidHandle); // not open
    ASSERT_EQ(device->open(WaveFormat::stereo16(22050), event), waveOk);
    EXPECT_EQ(device->open(WaveFormat::stereo16(22050), event), waveAllocated);
    EXPECT_EQ(device->write(block.header), waveUnprepared);
    ASSERT_EQ(device->prepare(block.header), waveOk);
    ASSERT_EQ(device->write(block.header), waveOk);
    EXPECT_EQ(device->write(block.header), waveStillPlaying);
    EXPECT_EQ(device->unprepare(block.header), waveStillPlaying);
    EXPECT_EQ(device->prepare(block.header), waveStillPlaying);
    EXPECT_EQ(device->close(), waveStillPlaying);
    event.reset();
    EXPECT_EQ(device->reset(), waveOk);
    EXPECT_TRUE(block.header.done());
    EXPECT_TRUE(event.waitFor(0)); // the reset finished a block
    EXPECT_EQ(device->unprepare(block.header), waveOk);
    EXPECT_EQ(device->close(), waveOk);
    EXPECT_EQ(device->close(), waveInvalidHandle);
}

TEST(SystemWaveOut, RefusesFormatsOtherThan16BitStereoPcm)
{
    auto device = systemDevice();
    AutoResetEvent event;
    WaveFormat mono = WaveFormat::stereo16(44100);
    mono.channels = 1;
    EXPECT_EQ(device->open(mono, event), waveBadFormat);
    WaveFormat eight = WaveFormat::stereo16(44100);
    eight.bitsPerSample = 8;
    EXPECT_EQ(device->open(eight, event), waveBadFormat);
    EXPECT_FALSE(event.waitFor(0));
}

TEST(SystemWaveOut, ReopensAfterClose)
{
    auto device = systemDevice();
    AutoResetEvent event;
    for (std::uint32_t rate : {11000u, 22050u, 44100u}) {
        ASSERT_EQ(device->open(WaveFormat::stereo16(rate), event), waveOk) << rate;
        Block block(64, 1);
        device->prepare(block.header);
        device->write(block.header);
        EXPECT_EQ(device->reset(), waveOk);
        EXPECT_EQ(device->close(), waveOk);
    }
}

TEST(FakeWaveOut, FinishesBlocksInOrderAndKeepsTheirBytes)
{
    FakeWaveOut device;
    AutoResetEvent event;
    ASSERT_EQ(device.open(WaveFormat::stereo16(11000), event), waveOk);
    EXPECT_TRUE(event.waitFor(0));
    Block a(4, 0xaa), b(8, 0xbb);
    device.prepare(a.header);
    device.prepare(b.header);
    device.write(a.header);
    device.write(b.header);
    EXPECT_EQ(device.queued(), 2);
    EXPECT_TRUE(device.finishNext());
    EXPECT_TRUE(a.header.done());
    EXPECT_FALSE(b.header.done());
    EXPECT_TRUE(event.waitFor(0));
    EXPECT_EQ(device.finishAll(), 1);
    EXPECT_FALSE(device.finishNext());
    EXPECT_EQ(device.played(), (std::vector<std::uint8_t>{0xaa, 0xaa, 0xaa, 0xaa, 0xbb, 0xbb, 0xbb, 0xbb, 0xbb, 0xbb,
                                                         0xbb, 0xbb}));
    EXPECT_EQ(device.format().averageBytesPerSecond, 44000u);
    EXPECT_THAT(device.log(), ElementsAre("open 11000", "prepare", "prepare", "write 4", "write 8"));
}

TEST(FakeWaveOut, ChosenFailuresAreReportedAndLogged)
{
    FakeWaveOut::Config config;
    config.devices = 0;
    config.resetResults = {waveError, waveOk};
    config.writeResult = waveNoMemory;
    FakeWaveOut device(config);
    AutoResetEvent event;
    EXPECT_EQ(device.deviceCount(), 0u);
    device.open(WaveFormat::stereo16(44100), event);
    EXPECT_EQ(device.reset(), waveError);
    EXPECT_EQ(device.reset(), waveOk);
    Block a(4, 0);
    device.prepare(a.header);
    EXPECT_EQ(device.write(a.header), waveNoMemory);
    EXPECT_THAT(device.log(), ElementsAre("count", "open 44100", "reset -> 1", "reset", "prepare", "write 4 -> 7"));
}

TEST(AutoResetEvent, SignalsCoalesceAndWakeOneWaiter)
{
    AutoResetEvent event;
    event.signal();
    event.signal();
    EXPECT_TRUE(event.waitFor(0));
    EXPECT_FALSE(event.waitFor(0));
    std::thread waiter([&] { event.wait(); });
    event.signal();
    waiter.join();
    EXPECT_FALSE(event.signalled());
}

} // namespace
