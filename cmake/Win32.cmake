# The add-in, the stand-in Word and the Windows test programs, cross-built for one
# architecture (x86 or x64, by the toolchain file) and run under Wine.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QURAN_ARCH x64)
  set(QURAN_WINE_ARCH win64)
else()
  set(QURAN_ARCH x86)
  set(QURAN_WINE_ARCH win32)
endif()

# Everything imports only system DLLs, so it runs from any folder.
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(QURAN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the tests")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${QURAN_WINE_ARCH}
  ${QURAN_WINEPREFIX})

enable_language(RC)

add_library(host_channel STATIC host/host_command.cpp)
target_include_directories(host_channel PUBLIC host)

# Windows-1256 and UTF-16 text of windows and the clipboard.
add_library(win_text STATIC ui/win_text.cpp)
target_include_directories(win_text PUBLIC ui)
target_link_libraries(citation_text PUBLIC win_text)

# The bitmaps are drawn as SVG in res/art and rendered to 24-bit BMP for the
# resource compiler.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(IMAGEMAGICK_CONVERT convert REQUIRED)
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
set(ART_BITMAPS)
foreach(picture splash emblem)
  set(bitmap ${ART_DIR}/${picture}.bmp)
  add_custom_command(OUTPUT ${bitmap}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ART_DIR}
    COMMAND ${RSVG_CONVERT} ${CMAKE_SOURCE_DIR}/res/art/${picture}.svg -o ${ART_DIR}/${picture}.png
    COMMAND ${IMAGEMAGICK_CONVERT} ${ART_DIR}/${picture}.png -background white -alpha remove
            -alpha off -type TrueColor BMP3:${bitmap}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/art/${picture}.svg
    COMMENT "Rendering ${picture}.svg"
    VERBATIM)
  list(APPEND ART_BITMAPS ${bitmap})
endforeach()
set_source_files_properties(res/QuranAddin.rc PROPERTIES OBJECT_DEPENDS "${ART_BITMAPS}")

add_library(QuranAddin SHARED host/entry_points.cpp host/splash_about.cpp ui/dialog.cpp
  ui/search_dialog.cpp ui/citation.cpp ui/arabic_edit.cpp ui/settings.cpp ui/citation_settings.cpp
  res/QuranAddin.rc)
target_include_directories(QuranAddin PRIVATE host ui res ${ART_DIR})
target_link_libraries(QuranAddin PRIVATE host_channel win_text citation_text verse_store comdlg32
  shell32)
# The dialog's Arabic texts are written in UTF-8 and held in Windows-1256.
set_source_files_properties(ui/search_dialog.cpp ui/citation.cpp ui/arabic_edit.cpp
  PROPERTIES COMPILE_OPTIONS
  "-finput-charset=UTF-8;-fexec-charset=CP1256")
# The add-in runs on Word's one thread. A static initialized under a guard would make
# the thread runtime (winpthreads) keep a handle to Word's thread and an event, which
# no unloading of the add-in gives back: two handles lost to Word at every reload.
foreach(target QuranAddin host_channel win_text citation_text verse_store_simd)
  target_compile_options(${target} PRIVATE -fno-threadsafe-statics)
endforeach()
target_link_options(QuranAddin PRIVATE ${CMAKE_SOURCE_DIR}/host/QuranAddin.def)
set_target_properties(QuranAddin PROPERTIES PREFIX "" SUFFIX ".wll"
  LINK_DEPENDS ${CMAKE_SOURCE_DIR}/host/QuranAddin.def)

# The stand-in Word. Its objects go whole into each program, so that the
# exported wdCommandDispatch is always linked.
add_library(wordhost_core OBJECT wordhost/word_host.cpp wordhost/command_dispatch.cpp
  wordhost/screenshot.cpp)
target_include_directories(wordhost_core PUBLIC wordhost)
target_link_libraries(wordhost_core PUBLIC host_channel win_text shell32)

set(WORDHOST_DEF ${CMAKE_SOURCE_DIR}/wordhost/wordhost.def)
add_executable(wordhost wordhost/main.cpp wordhost/demo.cpp)
target_link_libraries(wordhost PRIVATE wordhost_core)
target_link_options(wordhost PRIVATE ${WORDHOST_DEF})
set_source_files_properties(wordhost/demo.cpp PROPERTIES COMPILE_OPTIONS
  "-finput-charset=UTF-8;-fexec-charset=CP1256")


# The search window's timings, run by ./quran bench.
add_executable(search_window_bench bench/search_window_bench.cpp)
target_link_libraries(search_window_bench PRIVATE wordhost_core)
target_link_options(search_window_bench PRIVATE ${WORDHOST_DEF})
add_dependencies(search_window_bench QuranAddin)
set_source_files_properties(bench/search_window_bench.cpp PROPERTIES COMPILE_OPTIONS
  "-finput-charset=UTF-8;-fexec-charset=CP1256")

# Random user actions against the add-in in the stand-in Word, run by ./quran
# fuzz-window and, for two minutes, by the tests.
add_executable(window_fuzzer fuzz/window/window_fuzzer.cpp fuzz/window/window_actions.cpp
  fuzz/window/window_player.cpp)
target_link_libraries(window_fuzzer PRIVATE wordhost_core verse_store citation_text psapi ntdll)
target_link_options(window_fuzzer PRIVATE ${WORDHOST_DEF})
add_dependencies(window_fuzzer QuranAddin clipboard_holder)
set_source_files_properties(fuzz/window/window_player.cpp PROPERTIES COMPILE_OPTIONS
  "-finput-charset=UTF-8;-fexec-charset=CP1256")

# The 64-bit tree also packs both architectures' add-ins into the installers and
# the release archive.
if(QURAN_ARCH STREQUAL "x64")
  include(cmake/Package.cmake)
endif()

add_subdirectory(tests/win32)
