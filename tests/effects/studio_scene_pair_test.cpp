// The 3D Studio scene pair over the generator's own scenes: golden stills
// (a checksum of every pixel, compared exactly: the renderer is
// deterministic), the loop over the last key frame, and a folder without
// scenes.
#include "assets/generator.h"
#include "effects/studio_scene_pair.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Runs the code in `folder` as the working directory, with standard output
// (the reader's progress messages) kept out of the test log.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : previous_(fs::current_path()), out_(std::cout.rdbuf(quiet_.rdbuf()))
    {
        fs::current_path(folder);
    }
    ~InFolder()
    {
        fs::current_path(previous_);
        std::cout.rdbuf(out_);
    }

private:
    fs::path previous_;
    std::ostringstream quiet_;
    std::streambuf* out_;
};

// FNV-1a over the pixels, top byte included.
std::uint64_t checksum(display::Surface& frame)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint32_t p : testing_support::pixelsOf(frame))
        for (int i = 0; i < 4; ++i)
            h = (h ^ ((p >> (8 * i)) & 0xff)) * 0x100000001b3ull;
    return h;
}

enum class Scene { Disco, Ball };

// One frame as the show draws it: cleared in the scene's colour, then the
// scene at demo time t (ms) scaled as the scenes scale it.
std::uint64_t still(effects::StudioScenePair& pair, Scene scene, double t, display::Surface& frame)
{
    if (scene == Scene::Disco) {
        testing_support::paint(frame, 0x6b69e4);
        pair.renderDisco(frame, t * 0.025);
    } else {
        testing_support::paint(frame, 0x0a00265f);
        pair.renderBall(frame, t * 0.1);
    }
    return checksum(frame);
}

class StudioScenePairTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new testing_support::ScratchDir("studio_scene_pair");
        fs::create_directories(folder_->path() / "data");
        assets::writeScenes(folder_->path() / "data");
    }
    static void TearDownTestSuite()
    {
        delete folder_;
        folder_ = nullptr;
    }
    static testing_support::ScratchDir* folder_;
};
testing_support::ScratchDir* StudioScenePairTest::folder_ = nullptr;

TEST_F(StudioScenePairTest, GoldenStillsOfBothScenes)
{
    InFolder here(folder_->path());
    effects::StudioScenePair pair;
    display::Surface frame(320, 200, display::format32()), other(320, 200, display::format32());
    struct Golden {
        Scene scene;
        double t;
        std::uint64_t sum;
    };
    const Golden goldens[] = {
        {Scene::Disco, 0, 11479942797100710105ull},    {Scene::Disco, 4000, 18082758906763120811ull},
        {Scene::Disco, 11000, 14201311653326705909ull}, {Scene::Ball, 0, 1101754749710992004ull},
        {Scene::Ball, 3000, 1948405059611120015ull},    {Scene::Ball, 8500, 1455015882851346286ull},
    };
    for (const auto& g : goldens) {
        // Alternating between two frame surfaces changes nothing.
        EXPECT_EQ(still(pair, g.scene, g.t, frame), g.sum) << (g.scene == Scene::Disco ? "disco " : "ball ") << g.t;
        EXPECT_EQ(still(pair, g.scene, g.t, other), g.sum) << (g.scene == Scene::Disco ? "disco " : "ball ") << g.t;
    }
}

TEST_F(StudioScenePairTest, KeyFrameTimeStartsAgainAtEveryWholeLoop)
{
    // The disco loop is 400 key frames, 16 s of demo time at 0.025 a ms.
    InFolder here(folder_->path());
    effects::StudioScenePair pair;
    display::Surface start(320, 200, display::format32()), later(320, 200, display::format32());
    const std::uint64_t first = still(pair, Scene::Disco, 0, start);
    EXPECT_EQ(still(pair, Scene::Disco, 3 * 16000, later), first);
    EXPECT_NE(still(pair, Scene::Disco, 1000, later), first);
}

TEST(StudioScenePair, FolderWithoutScenesDrawsNothing)
{
    testing_support::ScratchDir empty("studio_scene_pair_empty");
    InFolder here(empty.path());
    effects::StudioScenePair pair;
    display::Surface frame(320, 200, display::format32());
    testing_support::paint(frame, 0x123456);
    pair.renderDisco(frame, 100.0);
    pair.renderBall(frame, 100.0);
    for (std::uint32_t p : testing_support::pixelsOf(frame))
        ASSERT_EQ(p, 0x123456u);
}

} // namespace
