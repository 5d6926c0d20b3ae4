// The demo's pictures as files: the names the show loads, the sizes its
// scene table needs, overlays that key cleanly on their top-left pixel,
// reproducible bytes, and a clean read through the console's TGA reader.
#include "assets/generator.h"
#include "assets/images/images.h"
#include "assets/scenes/scenes.h"
#include "console/display.h"
#include "tests/support/console_output.h"
#include "tests/support/message_recorder.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using assets::Image;
using assets::images::ImageFile;

std::vector<std::uint8_t> readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each picture is made once for the whole suite.
const std::map<std::string, Image>& stored()
{
    static const std::map<std::string, Image> images = [] {
        std::map<std::string, Image> m;
        for (const ImageFile& f : assets::images::imageFiles())
            m[f.name] = assets::images::storedImage(f);
        return m;
    }();
    return images;
}

using testing_support::withoutConverterLines;

// A folder written once by the generator's image and scene writers.
const fs::path& generated()
{
    static const testing_support::ScratchDir dir("assets_images_files_test");
    static const bool written = (assets::writeImages(dir.path()), assets::writeScenes(dir.path()), true);
    (void)written;
    return dir.path();
}

TEST(ImagesFiles, TheShowsImagesInItsLoadingOrder)
{
    std::vector<std::string> names;
    for (const ImageFile& f : assets::images::imageFiles())
        names.push_back(f.name);
    const std::vector<std::string> expected = {"circle.tga",   "fjollah.tga",  "fjollav.tga", "groovy1.tga",
                                               "groovy2.tga",  "voodoo.tga",   "skiva.tga",   "dansare1.tga",
                                               "dansare2.tga", "greets.tga",   "theend.tga"};
    EXPECT_EQ(names, expected);
}

TEST(ImagesFiles, SizesFitWhereTheScenesPlaceThem)
{
    const auto size = [](const std::string& n) { return std::pair(stored().at(n).width, stored().at(n).height); };
    EXPECT_EQ(size("circle.tga"), std::pair(256, 256));  // grid texture, addressed modulo 256
    EXPECT_EQ(size("theend.tga"), std::pair(320, 200));  // copied over the whole frame
    EXPECT_EQ(size("greets.tga").first, 630);            // scrolls from x = 319 to -630
    EXPECT_LE(size("greets.tga").second, 200);
    // fjolla pair at x = sway80 (0..160), y = bounce (0..2), and at sway50.
    for (const char* n : {"fjollah.tga", "fjollav.tga"}) {
        EXPECT_LE(size(n).first, 160) << n;
        EXPECT_LE(size(n).second, 198) << n;
    }
    // groovy pair at x = 155: at most the 165 columns to the right edge.
    for (const char* n : {"groovy1.tga", "groovy2.tga"})
        EXPECT_LE(size(n).first, 165) << n;
    // dansare pair at x = sway50 (0..100).
    for (const char* n : {"dansare1.tga", "dansare2.tga"}) {
        EXPECT_LE(size(n).first, 220) << n;
        EXPECT_LE(size(n).second, 200) << n;
    }
    EXPECT_LE(size("voodoo.tga").first, 320);           // at (0, 0)
    EXPECT_LE(size("skiva.tga").second, 200 - 18);      // at (0, 18)
    EXPECT_LE(size("skiva.tga").first, 320);
    // Pairs that alternate on the beat have equal sizes and differ.
    for (auto [a, b] : {std::pair("fjollah.tga", "fjollav.tga"), std::pair("groovy1.tga", "groovy2.tga"),
                        std::pair("dansare1.tga", "dansare2.tga")}) {
        EXPECT_EQ(size(a), size(b)) << a;
        EXPECT_NE(stored().at(a).pixels, stored().at(b).pixels) << a;
    }
}

// A keyed overlay: the top-left pixel is the key (the background), and the
// key never turns up as stray specks inside the painted figure, which would
// show as holes: every connected patch of key pixels is a real gap of the
// design, at least 24 pixels large. The figure covers a fair part of the picture.
TEST(ImagesFiles, OverlaysKeyCleanlyOnTheirTopLeftPixel)
{
    for (const ImageFile& f : assets::images::imageFiles()) {
        if (!f.keyed)
            continue;
        const Image& img = stored().at(f.name);
        const std::uint32_t key = img.at(0, 0);
        EXPECT_EQ(key, assets::images::overlayKey) << f.name;
        std::size_t keyed = 0;
        for (std::uint32_t c : img.pixels)
            keyed += c == key;
        const double body = 1.0 - double(keyed) / double(img.pixels.size());
        EXPECT_GT(body, 0.1) << f.name;
        EXPECT_LT(body, 0.9) << f.name;

        std::vector<char> seen(img.pixels.size(), 0);
        std::size_t smallest = img.pixels.size();
        for (std::size_t start = 0; start < img.pixels.size(); ++start) {
            if (seen[start] || img.pixels[start] != key)
                continue;
            std::vector<std::size_t> stack = {start};
            seen[start] = 1;
            std::size_t size = 0;
            while (!stack.empty()) {
                const std::size_t i = stack.back();
                stack.pop_back();
                ++size;
                const int x = int(i % std::size_t(img.width)), y = int(i / std::size_t(img.width));
                const int nx[4] = {x + 1, x - 1, x, x}, ny[4] = {y, y, y + 1, y - 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= img.width || ny[k] >= img.height)
                        continue;
                    const std::size_t j = std::size_t(ny[k]) * std::size_t(img.width) + std::size_t(nx[k]);
                    if (!seen[j] && img.pixels[j] == key) {
                        seen[j] = 1;
                        stack.push_back(j);
                    }
                }
            }
            smallest = std::min(smallest, size);
        }
        EXPECT_GE(smallest, 24u) << f.name << ": specks of key colour inside the figure";
    }
}

TEST(ImagesFiles, GreetingsStandOnBlackForTheSaturatingAdd)
{
    const Image& g = stored().at("greets.tga");
    std::size_t black = 0, bright = 0;
    for (std::uint32_t c : g.pixels) {
        black += ((c >> 16) & 0xff) <= 16 && ((c >> 8) & 0xff) <= 16 && (c & 0xff) <= 16;
        bright += ((c >> 16) & 0xff) > 128 || ((c >> 8) & 0xff) > 128 || (c & 0xff) > 128;
    }
    EXPECT_EQ(g.at(0, 0) & 0xffffff, 0u);
    EXPECT_GT(black, g.pixels.size() / 2);
    EXPECT_GT(bright, g.pixels.size() / 50);
    // Text across the whole width: ink in every 90-pixel slice.
    for (int x0 = 0; x0 + 90 <= g.width; x0 += 90) {
        std::size_t ink = 0;
        for (int y = 0; y < g.height; ++y)
            for (int x = x0; x < x0 + 90; ++x)
                ink += (g.at(x, y) & 0xffffff) != 0;
        EXPECT_GT(ink, 200u) << "slice at " << x0;
    }
}

// The grid samples the texture modulo 256: opposite edges must match.
TEST(ImagesFiles, GridTextureTilesWithoutASeam)
{
    const Image& c = stored().at("circle.tga");
    auto diff = [](std::uint32_t a, std::uint32_t b) {
        int m = 0;
        for (int s : {0, 8, 16})
            m = std::max(m, std::abs(int((a >> s) & 0xff) - int((b >> s) & 0xff)));
        return m;
    };
    for (int i = 0; i < 256; ++i) {
        EXPECT_LE(diff(c.at(0, i), c.at(255, i)), 2) << "row " << i;
        EXPECT_LE(diff(c.at(i, 0), c.at(i, 255)), 2) << "column " << i;
    }
}

// Pictures stored top first set both orientation bits; tools that read bit
// 0x10 as right-to-left would mirror them, so only symmetric ones qualify.
TEST(ImagesFiles, TopFirstPicturesAreLeftRightSymmetric)
{
    std::vector<std::pair<std::string, Image>> pictures;
    for (const ImageFile& f : assets::images::imageFiles())
        if (f.layout.rows == assets::TgaRows::TopFirst)
            pictures.push_back({f.name, stored().at(f.name)});
    for (const auto& t : assets::scenes::textureFiles())
        if (t.layout.rows == assets::TgaRows::TopFirst)
            pictures.push_back({t.name, t.make()});
    ASSERT_FALSE(pictures.empty());
    for (const auto& [name, img] : pictures) {
        int worst = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width / 2; ++x) {
                const std::uint32_t a = img.at(x, y), b = img.at(img.width - 1 - x, y);
                for (int s : {0, 8, 16})
                    worst = std::max(worst, std::abs(int((a >> s) & 0xff) - int((b >> s) & 0xff)));
            }
        EXPECT_LE(worst, 2) << name;
    }
}

TEST(ImagesFiles, AllTgaVariantsAreUsed)
{
    std::set<std::pair<int, int>> seen; // (pixels, rows)
    std::set<int> mapBits;
    for (const ImageFile& f : assets::images::imageFiles()) {
        seen.insert({int(f.layout.pixels), int(f.layout.rows)});
        if (f.layout.pixels == assets::TgaPixels::ColourMapped)
            mapBits.insert(f.layout.mapEntryBits);
    }
    for (const auto& t : assets::scenes::textureFiles())
        seen.insert({int(t.layout.pixels), int(t.layout.rows)});
    std::set<int> kinds, orders;
    for (auto [p, r] : seen) {
        kinds.insert(p);
        orders.insert(r);
    }
    EXPECT_EQ(kinds.size(), 3u);
    EXPECT_EQ(orders.size(), 2u);
    EXPECT_EQ(mapBits, (std::set<int>{24, 32}));
}

TEST(ImagesFiles, GenerationIsReproducible)
{
    const testing_support::ScratchDir againDir("assets_images_files_test_again");
    const fs::path& again = againDir.path();
    assets::writeImages(again);
    assets::writeScenes(again);
    std::size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(generated())) {
        const fs::path other = again / entry.path().filename();
        ASSERT_TRUE(fs::exists(other)) << other;
        EXPECT_EQ(readFile(entry.path()), readFile(other)) << entry.path().filename();
        ++compared;
    }
    EXPECT_GE(compared, 11u + 4u + 4u);
    fs::remove_all(again);
}

// Every TGA the generator writes loads through the console's reader without
// a word on standard output or a message box, with the stored pixels.
TEST(ImagesFiles, EveryWrittenImageReadsBackCleanly)
{
    std::map<std::string, Image> expected = stored();
    std::set<std::string> withTopByte; // 32-bit pixels or 32-bit map entries
    for (const ImageFile& f : assets::images::imageFiles())
        if (f.layout.pixels == assets::TgaPixels::TrueColour32 ||
            (f.layout.pixels == assets::TgaPixels::ColourMapped && f.layout.mapEntryBits == 32))
            withTopByte.insert(f.name);
    for (const auto& t : assets::scenes::textureFiles()) {
        expected[t.name] = t.make();
        if (t.layout.pixels == assets::TgaPixels::TrueColour32)
            withTopByte.insert(t.name);
    }
    for (const auto& [name, img] : expected) {
        const fs::path path = generated() / name;
        ASSERT_TRUE(fs::exists(path)) << name;
        testing_support::MessageRecorder boxes;
        testing::internal::CaptureStdout();
        display::Surface s(path.string().c_str());
        EXPECT_EQ(withoutConverterLines(testing::internal::GetCapturedStdout()), "") << name;
        EXPECT_TRUE(boxes.messages().empty()) << name;
        ASSERT_FALSE(s.empty()) << name;
        ASSERT_EQ(s.width(), img.width) << name;
        ASSERT_EQ(s.height(), img.height) << name;
        const auto* px = static_cast<const std::uint32_t*>(s.lock());
        std::size_t wrong = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const std::uint32_t want = withTopByte.count(name) ? img.at(x, y) : img.at(x, y) & 0xffffffu;
                wrong += px[std::size_t(y) * std::size_t(img.width) + std::size_t(x)] != want;
            }
        s.unlock();
        EXPECT_EQ(wrong, 0u) << name;
    }
}

} // namespace
