# Cross build for Windows with mingw-w64, for the triplet the architecture's
# toolchain file names. The -posix compilers carry the std::thread and std::mutex
# that GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QURAN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QURAN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QURAN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QURAN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
