# The browser's per-frame conversion of the 320x200 page to canvas RGBA,
# beside SDL_ConvertPixels doing the same conversion.
demo_bench(NAME platform_rgba SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_rgba.cpp LIBS platform PkgConfig::SDL2)
