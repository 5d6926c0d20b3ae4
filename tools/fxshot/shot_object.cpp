// Stills of the object scene: object-intro T (scene 0: the intro rendering
// with T as a float on black) and object-main T (scene 1: the main rendering
// with T x 0.002 on the scene's clear colour 0xa0a0ff). T in milliseconds of
// demo time.
#include "effects/object_scene.h"
#include "tools/fxshot/fxshot.h"

namespace {

fxshot::Registrar intro({"object-intro", "T", 1,
                         [](const std::vector<std::string>& arguments, const fxshot::Options&,
                            display::Surface& frame) {
                             const double t = fxshot::readTime(arguments);
                             fxshot::clearFrame(frame, 0);
                             effects::ObjectScene(0).renderIntro(frame, nullptr, static_cast<float>(t));
                         }});

fxshot::Registrar mainScene({"object-main", "T", 1,
                             [](const std::vector<std::string>& arguments, const fxshot::Options&,
                                display::Surface& frame) {
                                 const double t = fxshot::readTime(arguments);
                                 fxshot::clearFrame(frame, 0xa0a0ff);
                                 effects::ObjectScene(0).renderMain(frame, t * 0.002);
                             }});

} // namespace
