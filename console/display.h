#pragma once
// The display console: the small graphics library through which pictures
// reach the screen. Errors, pixel formats, memory surfaces, the console.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace platform {
class DisplayService;
}

namespace display {

// Every failure of the library throws an Error. An error built around an
// inner one reads "message\ninner text", outermost operation first.
class Error {
public:
    explicit Error(const char* message);
    Error(const char* message, const Error& inner);

    const char* message() const { return text_.c_str(); }
    // Shows the text in a message box titled "Error", then ends the process
    // with status 1.
    [[noreturn]] void report() const;

    bool operator==(const Error& other) const { return text_ == other.text_; }

private:
    std::string text_;
};

// Pixel format: direct colour with channel masks, or 8-bit indexed.
class Format {
public:
    Format();                                                             // bits 0, neither kind
    explicit Format(int bits);                                            // indexed; only 8 bits
    Format(int bits, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 0); // direct

    int bits() const { return bits_; }
    int bytes() const { return bits_ >> 3; }
    std::uint32_t r() const { return r_; }
    std::uint32_t g() const { return g_; }
    std::uint32_t b() const { return b_; }
    std::uint32_t a() const { return a_; }
    bool direct() const { return direct_; }
    bool indexed() const { return indexed_; }

    bool operator==(const Format& other) const;
    bool operator!=(const Format& other) const { return !(*this == other); }

private:
    int bits_ = 0;
    std::uint32_t r_ = 0, g_ = 0, b_ = 0, a_ = 0;
    bool direct_ = false;
    bool indexed_ = false;
};

// The program's one format: 32 bits, 0x00RRGGBB.
inline Format format32() { return Format(32, 0xff0000, 0xff00, 0xff, 0); }

// 256 colours of 0x00RRGGBB with a lock flag.
class Palette {
public:
    Palette();
    explicit Palette(const std::uint32_t* entries);

    std::uint32_t* lock();
    void unlock();
    void load(const std::uint32_t* entries);
    void save(std::uint32_t* entries) const;
    const std::uint32_t* data() const { return entries_; }

    bool operator==(const Palette& other) const;

private:
    std::uint32_t entries_[256];
    bool locked_ = false;
};

// A rectangle given by two corners; the corners are put in order.
class Area {
public:
    Area() = default;
    Area(int left, int top, int right, int bottom);

    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    int width() const { return right_ - left_; }
    int height() const { return bottom_ - top_; }

    // This area clipped to another one (an empty area when they do not meet).
    Area clip(const Area& other) const;

private:
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

// A clear colour: floating-point components for direct colour, or an index.
class Color {
public:
    Color() = default;
    Color(float r, float g, float b, float a = 1.0f) : r_(r), g_(g), b_(b), a_(a), direct_(true) {}
    explicit Color(int index) : index_(index), indexed_(true) {}

    float r() const { return r_; }
    float g() const { return g_; }
    float b() const { return b_; }
    float a() const { return a_; }
    int index() const { return index_; }
    bool direct() const { return direct_; }
    bool indexed() const { return indexed_; }

private:
    float r_ = 0, g_ = 0, b_ = 0, a_ = 0;
    int index_ = 0;
    bool direct_ = false;
    bool indexed_ = false;
};

// Holds one reference to the pixel conversion engine while alive (every
// surface and every console holds one).
class ConverterHold {
public:
    ConverterHold() = default;
    ~ConverterHold();
    ConverterHold(const ConverterHold&) = delete;
    ConverterHold& operator=(const ConverterHold&) = delete;
    void acquire();

private:
    bool held_ = false;
};

// The interface shared by memory surfaces and the console, in the order of
// its operations.
class BaseSurface {
public:
    virtual ~BaseSurface() = default;
    virtual void copy(BaseSurface& surface, const Area& source, const Area& destination) = 0;
    virtual void copy(BaseSurface& surface) = 0;
    virtual void* lock() = 0;
    virtual void unlock() = 0;
    virtual void load(const void* pixels, int width, int height, const Format& format, const Palette& palette,
                      const Area& source, const Area& destination) = 0;
    virtual void load(const void* pixels, int width, int height, const Format& format, const Palette& palette) = 0;
    virtual void save(void* pixels, int width, int height, const Format& format, const Palette& palette,
                      const Area& source, const Area& destination) = 0;
    virtual void save(void* pixels, int width, int height, const Format& format, const Palette& palette) = 0;
    virtual void clear(const Color& color, const Area& area) = 0;
    virtual void clear(const Color& color) = 0;
    virtual const Palette& palette() const = 0;
    virtual void palette(const Palette& palette) = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual int pitch() const = 0;
    virtual const Format& format() const = 0;
};

// A picture in memory. Rows lie one after another without gaps, so the pitch
// is width times bytes per pixel. Locking never moves the memory.
class Surface final : public BaseSurface {
public:
    // Zero-filled pixels. Throws "zero surface size" when there would be none.
    Surface(int width, int height, const Format& format);
    // Reads a TGA image into the 32-bit format. A file that cannot be read
    // gives an empty surface (see empty()); nothing is thrown.
    explicit Surface(const char* path);
    // The same from the bytes of a TGA file held in memory.
    explicit Surface(std::span<const std::uint8_t> tgaFile);
    ~Surface() override;

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // True for an image that could not be read: no pixels, width and height 0.
    // Every drawing operation treats it as nothing to draw.
    bool empty() const { return !pixels_; }

    void copy(BaseSurface& surface, const Area& source, const Area& destination) override;
    void copy(BaseSurface& surface) override;
    void* lock() override;
    void unlock() override;
    void load(const void* pixels, int width, int height, const Format& format, const Palette& palette,
              const Area& source, const Area& destination) override;
    void load(const void* pixels, int width, int height, const Format& format, const Palette& palette) override;
    void save(void* pixels, int width, int height, const Format& format, const Palette& palette,
              const Area& source, const Area& destination) override;
    void save(void* pixels, int width, int height, const Format& format, const Palette& palette) override;
    void clear(const Color& color, const Area& area) override;
    void clear(const Color& color) override;
    const Palette& palette() const override { return palette_; }
    void palette(const Palette& palette) override { palette_.load(palette.data()); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int pitch() const override { return width_ * format_.bytes(); }
    const Format& format() const override { return format_; }

    // True while locked.
    bool locked() const { return locked_; }

private:
    // Fills an unread surface from a TGA file's bytes; leaves it empty when
    // the file cannot be read.
    void readTga(std::span<const std::uint8_t> file);

    int width_ = 0;
    int height_ = 0;
    Format format_;
    bool locked_ = false;
    std::unique_ptr<std::uint8_t[]> pixels_;
    Palette palette_;
    ConverterHold converter_;
};

class ConsoleDisplay;

// The display: a window or a full-screen display mode to which a surface is
// copied once per frame and then shown with update(). Forwards everything to
// its implementation, which drives a platform display service.
class Console final : public BaseSurface {
public:
    // Uses the platform's default display service (SDL2).
    Console();
    // Uses the given display service (tests give a memory one).
    explicit Console(std::unique_ptr<platform::DisplayService> service);
    ~Console() override;

    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void copy(BaseSurface& surface, const Area& source, const Area& destination) override;
    void copy(BaseSurface& surface) override;
    void* lock() override;
    void unlock() override;
    void load(const void* pixels, int width, int height, const Format& format, const Palette& palette,
              const Area& source, const Area& destination) override;
    void load(const void* pixels, int width, int height, const Format& format, const Palette& palette) override;
    void save(void* pixels, int width, int height, const Format& format, const Palette& palette,
              const Area& source, const Area& destination) override;
    void save(void* pixels, int width, int height, const Format& format, const Palette& palette) override;
    void clear(const Color& color, const Area& area) override;
    void clear(const Color& color) override;
    const Palette& palette() const override;
    void palette(const Palette& palette) override;
    int width() const override;
    int height() const override;
    int pitch() const override;
    const Format& format() const override;

    // Only "multithreaded window" is recognised (returns true).
    bool option(const char* text);
    // Full screen at exactly width x height when the display has that mode at
    // a depth tried for the format, else a window with that client area.
    void open(const char* title, int width, int height, const Format& format);
    void open(const char* title, const Format& format); // 640x480
    void open(const char* title);                       // 640x480, 32 bits
    void close();
    // Shows the page just drawn, yields the processor once and processes
    // every pending window message (a window close ends the process with
    // status 0; key-downs are buffered).
    void update();
    void flush();
    // True when a key press is buffered; read() takes the oldest one, waiting
    // for one when there is none.
    bool key();
    int read();
    // Name of the display service in use ("SDL2", "Memory").
    const char* name() const;

    // True when open at a full-screen display mode.
    bool fullscreen() const;
    // Why the last open ended in a window instead of full screen ("" when it
    // did not).
    std::string fullscreenFailure() const;

private:
    std::unique_ptr<ConsoleDisplay> impl_;
};

} // namespace display
