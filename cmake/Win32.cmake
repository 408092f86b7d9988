# The add-in, the stand-in Word and the Windows test programs, cross-built for
# 32-bit Windows and run under Wine.

# Everything imports only system DLLs, so it runs from any folder.
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

set(QURAN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the tests")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${QURAN_WINEPREFIX})

add_library(host_channel STATIC host/host_command.cpp)
target_include_directories(host_channel PUBLIC host)

add_library(QuranAddin SHARED host/entry_points.cpp)
target_link_libraries(QuranAddin PRIVATE host_channel)
if(TARGET verse_store)
  target_link_libraries(QuranAddin PRIVATE verse_store)
endif()
target_link_options(QuranAddin PRIVATE ${CMAKE_SOURCE_DIR}/host/QuranAddin.def)
set_target_properties(QuranAddin PROPERTIES PREFIX "" SUFFIX ".wll"
  LINK_DEPENDS ${CMAKE_SOURCE_DIR}/host/QuranAddin.def)

# The stand-in Word. Its objects go whole into each program, so that the
# exported wdCommandDispatch is always linked.
add_library(wordhost_core OBJECT wordhost/word_host.cpp wordhost/command_dispatch.cpp
  wordhost/screenshot.cpp)
target_include_directories(wordhost_core PUBLIC wordhost)
target_link_libraries(wordhost_core PUBLIC host_channel)

set(WORDHOST_DEF ${CMAKE_SOURCE_DIR}/wordhost/wordhost.def)
add_executable(wordhost wordhost/main.cpp)
target_link_libraries(wordhost PRIVATE wordhost_core)
target_link_options(wordhost PRIVATE ${WORDHOST_DEF})

add_subdirectory(tests/win32)
