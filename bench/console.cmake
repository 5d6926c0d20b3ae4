# Pixel conversion of a 320x200 frame: every converter row beside SDL's
# SDL_ConvertPixels on the same conversions, and pixman for RGB565.
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
demo_bench(NAME console_convert SOURCES ${CMAKE_CURRENT_LIST_DIR}/console_convert.cpp
           LIBS console PkgConfig::SDL2 PkgConfig::PIXMAN)
