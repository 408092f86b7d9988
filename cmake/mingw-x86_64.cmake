# 64-bit Windows: the add-in for 64-bit Word.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QURAN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
