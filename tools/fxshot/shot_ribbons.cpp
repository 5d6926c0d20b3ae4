// Still of the spline ribbons: ribbons T, T in milliseconds of demo time,
// drawn as scene 5 draws them (onto a frame cleared to black, splat form
// chosen by the processor's MMX flag). Scene 3's trails come from the frame
// compositing underneath and are not part of this still.
#include "effects/spline_ribbons.h"
#include "tools/fxshot/fxshot.h"

#include <stdexcept>

namespace {

fxshot::Registrar ribbons({"ribbons", "T", 1,
                           [](const std::vector<std::string>& arguments, const fxshot::Options&,
                              display::Surface& frame) {
                               const double t = fxshot::parseNumber(arguments[0], "T (milliseconds)");
                               if (!(t >= 0) || t > 3600000)
                                   throw std::runtime_error("T must lie between 0 and 3600000 ms");
                               effects::SplineRibbons().draw(t, frame);
                           }});

} // namespace
