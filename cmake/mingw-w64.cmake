# Cross build for 64-bit Windows with the posix thread model of mingw-w64
# (std::thread, std::mutex and GoogleTest need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZR8_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZR8_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZR8_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZR8_MINGW_PREFIX}-windres)
set(ZR8_WINDMC ${ZR8_MINGW_PREFIX}-windmc)
set(CMAKE_FIND_ROOT_PATH /usr/${ZR8_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run through Wine in the build's own prefix (<build>/wineprefix),
# created on first use; scripts/wine-session shares one wineserver and a display across runs.
get_filename_component(ZR8_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZR8_WINE_RUN} --prefix ${CMAKE_BINARY_DIR}/wineprefix)
