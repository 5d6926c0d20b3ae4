#pragma once
// The demo's pictures: the grid texture and the ten overlay images, each
// with the TGA layout it is stored in.
#include "assets/common/image.h"
#include "assets/common/tga_writer.h"

#include <string>
#include <vector>

namespace assets::images {

// The key colour of every keyed overlay (their top-left pixel).
inline constexpr std::uint32_t overlayKey = 0x00000000;

Image circle();                 // 256x256 ring texture, tiles seamlessly
Image fjolla(bool facingRight); // 160x198 dancing girl, two mirrored poses
Image groovy(int state);        // 165x60 title, two bounce states (1, 2)
Image voodoo();                 // 320x88 title over the blob field
Image skiva();                  // 240x182 record on a turntable arm
Image dansare(int pose);        // 150x200 dancer, poses 1 and 2
Image greets();                 // 630x200 greetings, black ground (added)
Image theEnd();                 // 320x200 closing picture

struct ImageFile {
    std::string name;   // file name inside the data folder
    TgaLayout layout;
    Image (*make)();
    bool keyed;         // an overlay drawn with its top-left colour as key
};

// Every picture the show loads, in the show's order (the grid texture first).
const std::vector<ImageFile>& imageFiles();

// The picture exactly as it is stored in its file (colour-mapped files are
// reduced to 256 colours first).
Image storedImage(const ImageFile& file);

} // namespace assets::images
