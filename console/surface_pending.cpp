// Temporary: the transfer operations and the TGA reader are being written;
// this file goes away when they land.
#include "console/display.h"

namespace display {

Surface::Surface(const char*) : format_(format32()) {}
void Surface::copy(BaseSurface&, const Area&, const Area&) { throw Error("not built yet"); }
void Surface::copy(BaseSurface&) { throw Error("not built yet"); }
void Surface::load(const void*, int, int, const Format&, const Palette&, const Area&, const Area&) { throw Error("not built yet"); }
void Surface::load(const void*, int, int, const Format&, const Palette&) { throw Error("not built yet"); }
void Surface::save(void*, int, int, const Format&, const Palette&, const Area&, const Area&) { throw Error("not built yet"); }
void Surface::save(void*, int, int, const Format&, const Palette&) { throw Error("not built yet"); }
void Surface::clear(const Color&, const Area&) { throw Error("not built yet"); }
void Surface::clear(const Color&) { throw Error("not built yet"); }

} // namespace display
