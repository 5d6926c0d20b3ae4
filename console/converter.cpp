#include "console/converter.h"

#include "console/converter_rows.h"

#include <cstdio>

namespace display {

namespace {

// The engine's state: one per process, used from the drawing thread only.
struct Engine {
    int references = 0;
    bool selected = false;
    PixelDescription source, destination;
    rows::RowFunction row = nullptr;
    // For indexed sources: the row that turns a 32-bit colour into a
    // destination value, used to build the lookup table from a palette.
    rows::RowFunction colourRow = nullptr;
    int sourceBytes = 0;
    int destinationBytes = 0;
    rows::Context context;
};

Engine& engine()
{
    // Never destroyed, so that surfaces with static storage may still
    // release their reference at exit.
    static Engine* state = new Engine;
    return *state;
}

const PixelDescription rgb32Description{32, 0xff0000, 0xff00, 0xff, false};

int trailingZeros(std::uint32_t mask) { return mask ? __builtin_ctz(mask) : 0; }

struct Choice {
    rows::RowFunction row = nullptr;
    bool generic = false;
};

rows::Generic genericShifts(const PixelDescription& d)
{
    rows::Generic g;
    auto set = [](std::uint32_t mask, int sourceTop, std::uint32_t& m, int& right, int& left) {
        int top = maskTop(mask);
        m = mask;
        right = sourceTop >= top ? sourceTop - top : 0;
        left = sourceTop < top ? top - sourceTop : 0;
    };
    set(d.r, 24, g.rMask, g.rRight, g.rLeft);
    set(d.g, 16, g.gMask, g.gRight, g.gLeft);
    set(d.b, 8, g.bMask, g.bRight, g.bLeft);
    return g;
}

// The conversion table for a 32-bit 0x00RRGGBB source.
Choice chooseFromRgb32(const PixelDescription& d)
{
    if (d.indexed)
        return {};
    auto masks = [&d](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return d.r == r && d.g == g && d.b == b; };
    switch (d.bits) {
    case 32:
        if (masks(0xff0000, 0xff00, 0xff))
            return {rows::copy, false};
        if (masks(0xff, 0xff00, 0xff0000))
            return {rows::rgb32ToBgr32, false};
        return {rows::rgb32ToGeneric32, true};
    case 24:
        if (masks(0xff0000, 0xff00, 0xff))
            return {rows::rgb32ToBgr24, false};
        if (masks(0xff, 0xff00, 0xff0000))
            return {rows::rgb32ToRgb24, false};
        return {};
    case 16:
        if (masks(0xf800, 0x7e0, 0x1f))
            return {rows::rgb32ToRgb565, false};
        if (masks(0x1f, 0x7e0, 0xf800))
            return {rows::rgb32ToBgr565, false};
        if (masks(0x7c00, 0x3e0, 0x1f))
            return {rows::rgb32ToRgb555, false};
        if (masks(0x1f, 0x3e0, 0x7c00))
            return {rows::rgb32ToBgr555, false};
        return {rows::rgb32ToGeneric16, true};
    case 8:
        if (masks(0xe0, 0x1c, 0x3))
            return {rows::rgb32ToRgb332, false};
        return {};
    default:
        return {};
    }
}

rows::RowFunction indexedRow(int destinationBytes)
{
    switch (destinationBytes) {
    case 1: return rows::index8ToBytes1;
    case 2: return rows::index8ToBytes2;
    case 3: return rows::index8ToBytes3;
    case 4: return rows::index8ToBytes4;
    default: return nullptr;
    }
}

} // namespace

int maskTop(std::uint32_t mask)
{
    if (!mask)
        return 0;
    int zeros = trailingZeros(mask);
    int ones = 0;
    while (zeros + ones < 32 && (mask >> (zeros + ones)) & 1u)
        ++ones;
    return zeros + ones;
}

PixelDescription PixelDescription::of(const Format& format)
{
    return {format.bits(), format.r(), format.g(), format.b(), format.indexed()};
}

void Converter::initialise()
{
    Engine& e = engine();
    if (e.references++ == 0) {
        std::printf("Converter initialising: %d\n", e.references);
        std::fflush(stdout);
        e.selected = false;
    }
}

void Converter::release()
{
    Engine& e = engine();
    if (e.references <= 0)
        return;
    if (--e.references == 0) {
        std::printf("Converter shutting down\n");
        std::fflush(stdout);
        e.selected = false;
        e.row = nullptr;
        e.colourRow = nullptr;
    }
}

int Converter::references() { return engine().references; }

bool Converter::request(const Format& source, const Format& destination)
{
    Engine& e = engine();
    const PixelDescription s = PixelDescription::of(source);
    const PixelDescription d = PixelDescription::of(destination);
    if (e.selected && s == e.source && d == e.destination)
        return true;

    Choice choice;
    rows::RowFunction colourRow = nullptr;
    rows::Context context = e.context;
    if (s == rgb32Description) {
        choice = chooseFromRgb32(d);
    } else if (s.indexed && s.bits == 8) {
        // Each palette colour goes through the 32-bit row once; pixels are
        // then looked up.
        if (d == s) {
            choice = {rows::copy, false};
        } else {
            Choice colour = chooseFromRgb32(d);
            if (colour.row) {
                colourRow = colour.row;
                choice = {indexedRow(destination.bytes()), colour.generic};
            }
        }
    } else if (s == d && s.bits % 8 == 0 && s.bits > 0) {
        choice = {rows::copy, false}; // same layout: a plain copy of any depth
    }
    if (!choice.row)
        return false;

    context.bytes = destination.bytes();
    context.generic = genericShifts(d);
    e.context = context;
    e.row = choice.row;
    e.colourRow = colourRow;
    e.source = s;
    e.destination = d;
    e.sourceBytes = source.bytes();
    e.destinationBytes = destination.bytes();
    e.selected = true;
    std::printf("C Converter %s\n", choice.generic ? "(Generic)" : "");
    std::fflush(stdout);
    return true;
}

void Converter::palette(const std::uint32_t* entries)
{
    Engine& e = engine();
    if (!e.selected || !e.colourRow || !entries)
        return;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t out[4] = {0, 0, 0, 0};
        std::uint32_t colour = entries[i] & 0x00ffffff;
        std::uint8_t in[4];
        for (int k = 0; k < 4; ++k)
            in[k] = static_cast<std::uint8_t>(colour >> (8 * k));
        e.colourRow(in, out, 1, e.context);
        e.context.lookup.values[i] = static_cast<std::uint32_t>(out[0]) | static_cast<std::uint32_t>(out[1]) << 8 |
                                     static_cast<std::uint32_t>(out[2]) << 16 | static_cast<std::uint32_t>(out[3]) << 24;
    }
}

void Converter::convert(const void* source, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                        int sourcePitch, void* destination, int destinationX, int destinationY, int destinationWidth,
                        int destinationHeight, int destinationPitch)
{
    Engine& e = engine();
    if (!e.selected || sourceWidth <= 0 || sourceHeight <= 0 || destinationWidth <= 0 || destinationHeight <= 0)
        return;
    const int rowsToDo = sourceHeight < destinationHeight ? sourceHeight : destinationHeight;
    const int count = sourceWidth < destinationWidth ? sourceWidth : destinationWidth;
    const auto* s = static_cast<const std::uint8_t*>(source) + static_cast<std::ptrdiff_t>(sourceY) * sourcePitch +
                    static_cast<std::ptrdiff_t>(sourceX) * e.sourceBytes;
    auto* d = static_cast<std::uint8_t*>(destination) + static_cast<std::ptrdiff_t>(destinationY) * destinationPitch +
              static_cast<std::ptrdiff_t>(destinationX) * e.destinationBytes;
    if (e.row == rows::copy && sourcePitch == destinationPitch &&
        sourcePitch == count * e.destinationBytes) {
        // Whole rows without gaps on both sides: one block.
        e.row(s, d, count * rowsToDo, e.context);
        return;
    }
    for (int y = 0; y < rowsToDo; ++y) {
        e.row(s, d, count, e.context);
        s += sourcePitch;
        d += destinationPitch;
    }
}

} // namespace display

namespace display {

void ConverterHold::acquire()
{
    if (held_)
        return;
    Converter::initialise();
    held_ = true;
}

ConverterHold::~ConverterHold()
{
    if (held_)
        Converter::release();
}

} // namespace display
