# The fuzz targets, each named fuzz_<name>, with its seed folder seeds/<name>
# in the fuzz build and its dictionary dict/<name>.dict. Shared by the fuzz
# build, the smoke tests and run.sh.
set(DEMO_FUZZ_TARGETS module tga scene3ds settings)

# Largest input each target is given. The generator's module (about 900 KB)
# and images (up to 256 KB) are seeds too: they are cut to this length, which
# keeps their headers and patterns but makes every run far faster than
# mutating whole files.
set(DEMO_FUZZ_MAX_LEN_module 65536)
set(DEMO_FUZZ_MAX_LEN_tga 16384)
set(DEMO_FUZZ_MAX_LEN_scene3ds 65536)
set(DEMO_FUZZ_MAX_LEN_settings 4096)

# Further libFuzzer options: the scene targets' texture loads write "Can't
# find" for names that do not exist, on standard output, which is closed.
set(DEMO_FUZZ_OPTIONS_scene3ds -close_fd_mask=1)
set(DEMO_FUZZ_OPTIONS_settings -close_fd_mask=1)
