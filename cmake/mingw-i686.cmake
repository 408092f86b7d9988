# 32-bit Windows: the add-in for 32-bit Word.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QURAN_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
