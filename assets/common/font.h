#pragma once
// Text set in a TrueType font (read with stb_truetype) as a coverage mask.
#include "assets/common/paint.h"

#include <filesystem>
#include <string>
#include <vector>

namespace assets {

// The Debian DejaVu fonts of fonts-dejavu-core.
std::filesystem::path fontPath(const char* fileName); // e.g. "DejaVuSans-Bold.ttf"

class Font {
public:
    // Throws std::runtime_error when the file cannot be read or parsed.
    explicit Font(const std::filesystem::path& path);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    struct Text {
        Mask mask;          // tight box around the ink plus `pad` pixels on every side
        double baseline = 0; // row of the baseline inside the mask
    };
    // UTF-8 text at the given pixel height (ascent to descent), with extra
    // tracking between letters in pixels, placed on sub-pixel positions.
    Text render(const std::string& utf8, double pixelHeight, double tracking = 0.0, int pad = 0) const;
    // Advance width of the text in pixels.
    double measure(const std::string& utf8, double pixelHeight, double tracking = 0.0) const;

private:
    struct Impl;
    Impl* impl_;
};

// Decodes UTF-8 into code points (invalid bytes become '?').
std::vector<int> decodeUtf8(const std::string& s);

} // namespace assets
