// Stills of the 3D Studio scene pair: disco T (scenes 4 and 11, key-frame
// time T x 0.025, over the clear colour 0x6b69e4) and ball T (scene 10, T x
// 0.1, over 0x0a00265f). T in milliseconds of demo time; the scenes are read
// from data/ of the current directory, so run from build/.
#include "effects/studio_scene_pair.h"
#include "tools/fxshot/fxshot.h"

namespace {

fxshot::Registrar disco({"disco", "T", 1,
                         [](const std::vector<std::string>& arguments, const fxshot::Options&,
                            display::Surface& frame) {
                             const double t = fxshot::readTime(arguments);
                             fxshot::clearFrame(frame, 0x6b69e4);
                             effects::StudioScenePair().renderDisco(frame, t * 0.025);
                         }});

fxshot::Registrar ball({"ball", "T", 1,
                        [](const std::vector<std::string>& arguments, const fxshot::Options&,
                           display::Surface& frame) {
                            const double t = fxshot::readTime(arguments);
                            fxshot::clearFrame(frame, 0x0a00265f);
                            effects::StudioScenePair().renderBall(frame, t * 0.1);
                        }});

} // namespace
