// xmrender's WAV writer: the sizes its header states.
#include "platform/environment.h"
#include "tools/xmrender/wav_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(WavFile, HeaderStatesTheDataAndRiffSizes)
{
    const std::string path = ::testing::TempDir() + "wav_file_test_" + std::to_string(platform::processId()) + ".wav";
    {
        xmrender::WavFile wav;
        ASSERT_TRUE(wav.open(path, 22050));
        const std::vector<std::uint8_t> frames(6608, 0x11);
        ASSERT_TRUE(wav.write(frames.data(), 6608));
        ASSERT_TRUE(wav.write(frames.data(), 400));
        ASSERT_TRUE(wav.close());
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_EQ(bytes.size(), 44u + 7008u);
    EXPECT_EQ(le32(bytes, 4), 36u + 7008u);
    EXPECT_EQ(le32(bytes, 24), 22050u);
    EXPECT_EQ(le32(bytes, 28), 88200u);
    EXPECT_EQ(le32(bytes, 40), 7008u);
}

// Past 4 GiB the header cannot hold the true size; it must still be a size
// whose RIFF field (data + 36) does not wrap, and a whole number of frames.
// 0xFFFFFFFF - 36 = 4294967259, rounded down to 4 bytes: 4294967256.
TEST(WavFile, SizesPastFourGibibytesStopAtTheLargestThatFits)
{
    EXPECT_EQ(xmrender::headerDataBytes(0), 0u);
    EXPECT_EQ(xmrender::headerDataBytes(13216), 13216u);
    EXPECT_EQ(xmrender::headerDataBytes(4294967256u), 4294967256u);
    EXPECT_EQ(xmrender::headerDataBytes(4294967260u), 4294967256u);
    EXPECT_EQ(xmrender::headerDataBytes(0xFFFFFFF8u), 4294967256u);
    EXPECT_EQ(xmrender::headerDataBytes(15240960000u), 4294967256u); // a day at 44100 Hz
    EXPECT_EQ(static_cast<std::uint32_t>(36u + xmrender::headerDataBytes(15240960000u)), 4294967292u);
}

} // namespace
