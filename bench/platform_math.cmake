# The portable sin, cos, atan2 and exp2 beside the C library's.
demo_bench(NAME platform_math SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_math.cpp LIBS platform)
