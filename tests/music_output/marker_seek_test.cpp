// Finding a marker's row and starting the song there (a show started at a
// later scene).
#include "music/marker_seek.h"
#include "music/module_reader.h"
#include "tests/music_output/test_module.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using music_output_test::markerModule;
using music_output_test::ModuleFile;

TEST(MarkerSeek, FindsTheFirstRowInPlayOrderAndStartsTheSongThere)
{
    music_test::XmModule module = markerModule({{5, 3}, {40, 7}});
    module.patterns.push_back(markerModule({{2, 9}, {20, 3}}).patterns[0]);
    module.orders = {1, 0, 1}; // pattern 1 plays first
    ModuleFile file(module);
    auto song = std::make_unique<music::Song>();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(music::loadModule(*song, file.path()));
    testing::internal::GetCapturedStdout();

    struct Case {
        int value, position, row;
    };
    for (const Case c : {Case{9, 0, 2}, Case{3, 0, 20}, Case{7, 1, 40}, Case{8, -1, 0}}) {
        const music::MarkerPlace place = music::findMarker(*song, c.value);
        EXPECT_EQ(place.orderPosition, c.position) << c.value;
        if (c.position >= 0) {
            EXPECT_EQ(place.row, c.row) << c.value;
        }
    }

    song->start(44100);
    song->syncReset(100);
    EXPECT_FALSE(music::seekToMarker(*song, 8));
    EXPECT_EQ(song->orderPosition, 0);
    ASSERT_TRUE(music::seekToMarker(*song, 7));
    std::vector<int> heard;
    song->setSyncListener([&](const music::SyncNotice& n) { heard.push_back(n.value); });
    std::vector<std::uint8_t> block(4 * 882 * 6 * 2);
    song->fillBuffer(block.data(), static_cast<std::uint32_t>(block.size()));
    EXPECT_EQ(song->orderPosition, 1);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front(), 7); // the first row played is the marker's
    song->syncRelease();
}

} // namespace
