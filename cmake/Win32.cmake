# The add-in, the stand-in Word and the Windows test programs, cross-built for
# 32-bit Windows and run under Wine.

# Everything imports only system DLLs, so it runs from any folder.
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(QURAN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the tests")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${QURAN_WINEPREFIX})

enable_language(RC)

add_library(host_channel STATIC host/host_command.cpp)
target_include_directories(host_channel PUBLIC host)

# Windows-1256 and UTF-16 text of windows and the clipboard.
add_library(win_text STATIC ui/win_text.cpp)
target_include_directories(win_text PUBLIC ui)

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
  ui/search_dialog.cpp ui/citation.cpp ui/arabic_edit.cpp ui/settings.cpp res/QuranAddin.rc)
target_include_directories(QuranAddin PRIVATE host ui res ${ART_DIR})
target_link_libraries(QuranAddin PRIVATE host_channel win_text verse_store comdlg32 shell32)
# The dialog's Arabic texts are written in UTF-8 and held in Windows-1256.
set_source_files_properties(ui/search_dialog.cpp ui/citation.cpp ui/arabic_edit.cpp
  PROPERTIES COMPILE_OPTIONS
  "-finput-charset=UTF-8;-fexec-charset=CP1256")
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

# The installer and the release archive, from the add-in and the native build's data
# and help files.
set(QURAN_RELEASE_DATA_DIR "" CACHE PATH "Folder holding the data and help files to ship")
set(QURAN_VERSION 2.0)
find_program(MAKENSIS makensis REQUIRED)
set(STAGE_DIR ${CMAKE_BINARY_DIR}/stage)
set(INSTALLER ${CMAKE_BINARY_DIR}/QuranVerseSearch-${QURAN_VERSION}-setup.exe)
set(SHIPPED_DATA ${QURAN_RELEASE_DATA_DIR}/msdata64.qdt ${QURAN_RELEASE_DATA_DIR}/msdata32.qdt
  ${QURAN_RELEASE_DATA_DIR}/VUDEV-IRAZ.HLP)
# The wizard's side picture is the About box's emblem at the wizard's size.
set(WIZARD_BITMAP ${ART_DIR}/wizard.bmp)
add_custom_command(OUTPUT ${WIZARD_BITMAP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ART_DIR}
  COMMAND ${RSVG_CONVERT} -w 164 -h 314 --keep-aspect-ratio -b "#f6efdc"
          ${CMAKE_SOURCE_DIR}/res/art/emblem.svg -o ${ART_DIR}/wizard.png
  COMMAND ${IMAGEMAGICK_CONVERT} ${ART_DIR}/wizard.png -background "#f6efdc" -gravity center
          -extent 164x314 -alpha off -type TrueColor BMP3:${WIZARD_BITMAP}
  DEPENDS ${CMAKE_SOURCE_DIR}/res/art/emblem.svg
  COMMENT "Rendering the installer's picture"
  VERBATIM)
add_custom_command(OUTPUT ${INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:QuranAddin> ${SHIPPED_DATA} ${WIZARD_BITMAP}
          ${STAGE_DIR}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${QURAN_VERSION} -DSTAGE=${STAGE_DIR} -DOUTFILE=${INSTALLER}
          ${CMAKE_SOURCE_DIR}/installer/quran.nsi
  DEPENDS QuranAddin ${SHIPPED_DATA} ${WIZARD_BITMAP} ${CMAKE_SOURCE_DIR}/installer/quran.nsi
  COMMENT "Building the installer"
  VERBATIM)

set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release/quran-verse-search-${QURAN_VERSION})
set(RELEASE_ARCHIVE ${CMAKE_BINARY_DIR}/quran-verse-search-${QURAN_VERSION}.zip)
add_custom_command(OUTPUT ${RELEASE_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/release
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RELEASE_DIR}/manual
  COMMAND ${CMAKE_COMMAND} -E copy ${INSTALLER} ${CMAKE_SOURCE_DIR}/installer/INSTALL.txt
          ${CMAKE_SOURCE_DIR}/installer/LICENSES.txt ${RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:QuranAddin> ${SHIPPED_DATA} ${RELEASE_DIR}/manual
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/release
          ${CMAKE_COMMAND} -E tar cf ${RELEASE_ARCHIVE} --format=zip
          quran-verse-search-${QURAN_VERSION}
  DEPENDS ${INSTALLER} ${CMAKE_SOURCE_DIR}/installer/INSTALL.txt
          ${CMAKE_SOURCE_DIR}/installer/LICENSES.txt
  COMMENT "Packing the release archive"
  VERBATIM)
add_custom_target(release_archive ALL DEPENDS ${RELEASE_ARCHIVE})

add_subdirectory(tests/win32)
