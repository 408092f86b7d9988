# The installers and the release archive: both architectures' add-ins (this tree's
# and the 32-bit tree's) with the native build's data and help files. One script
# builds a 32-bit installer, which runs on every Windows, and a 64-bit one, which
# runs on 64-bit Windows; each installs the add-in that matches the user's Word.
set(QURAN_RELEASE_DATA_DIR "" CACHE PATH "Folder holding the data and help files to ship")
set(QURAN_X86_BUILD_DIR "" CACHE PATH "The 32-bit tree, whose add-in is packed too")
if(NOT QURAN_X86_BUILD_DIR)
  message(FATAL_ERROR "The 64-bit tree packs the 32-bit add-in too: set QURAN_X86_BUILD_DIR")
endif()
set(X86_ADDIN ${QURAN_X86_BUILD_DIR}/bin/QuranAddin.wll)
set(QURAN_VERSION 2.0)
find_program(MAKENSIS makensis REQUIRED)
set(STAGE_DIR ${CMAKE_BINARY_DIR}/stage)

# Signing: with a certificate, the staged add-ins, each installer and the uninstaller
# it carries are signed (Authenticode, SHA-256) as they are made; the password and
# any timestamp server come from the environment when the build runs (sign.sh).
set(QURAN_SIGN_CERT "" CACHE FILEPATH "PKCS#12 file to sign the release with, or empty")
set(SIGN_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/sign.sh)
set(SIGN_STAGE)
set(NSIS_SIGN)
set(SIGN_DEPENDS)
if(QURAN_SIGN_CERT)
  set(SIGN ${SIGN_SCRIPT} ${QURAN_SIGN_CERT})
  set(SIGN_STAGE COMMAND ${SIGN} ${STAGE_DIR}/x86/QuranAddin.wll
                 COMMAND ${SIGN} ${STAGE_DIR}/x64/QuranAddin.wll)
  set(NSIS_SIGN
      "-DSIGN=\"${SIGN_SCRIPT}\" \"${QURAN_SIGN_CERT}\"")
  set(SIGN_DEPENDS ${QURAN_SIGN_CERT} ${SIGN_SCRIPT})
endif()
# Names the signing, so that signing or not, or another certificate, remakes the stage.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/signing.txt CONTENT "${QURAN_SIGN_CERT}\n")
set(INSTALLER_X86 ${CMAKE_BINARY_DIR}/QuranVerseSearch-${QURAN_VERSION}-setup.exe)
set(INSTALLER_X64 ${CMAKE_BINARY_DIR}/QuranVerseSearch-${QURAN_VERSION}-setup-x64.exe)
set(SHIPPED_DATA ${QURAN_RELEASE_DATA_DIR}/msdata64.qdt ${QURAN_RELEASE_DATA_DIR}/msdata32.qdt
  ${QURAN_RELEASE_DATA_DIR}/VUDEV-IRAZ.chm ${QURAN_RELEASE_DATA_DIR}/VUDEV-IRAZ.HLP)
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
add_custom_command(OUTPUT ${STAGE_DIR}/stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${STAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${STAGE_DIR}/x86 ${STAGE_DIR}/x64
  COMMAND ${CMAKE_COMMAND} -E copy ${X86_ADDIN} ${STAGE_DIR}/x86
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:QuranAddin> ${STAGE_DIR}/x64
  COMMAND ${CMAKE_COMMAND} -E copy ${SHIPPED_DATA} ${WIZARD_BITMAP} ${STAGE_DIR}
  ${SIGN_STAGE}
  COMMAND ${CMAKE_COMMAND} -E touch ${STAGE_DIR}/stamp
  DEPENDS QuranAddin ${X86_ADDIN} ${SHIPPED_DATA} ${WIZARD_BITMAP} ${SIGN_DEPENDS}
          ${CMAKE_BINARY_DIR}/signing.txt
  COMMENT "Staging both add-ins"
  VERBATIM)
foreach(target x86 amd64)
  if(target STREQUAL "x86")
    set(installer ${INSTALLER_X86})
  else()
    set(installer ${INSTALLER_X64})
  endif()
  add_custom_command(OUTPUT ${installer}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${QURAN_VERSION} -DSTAGE=${STAGE_DIR} -DOUTFILE=${installer}
            -DTARGET=${target}-unicode ${NSIS_SIGN} ${CMAKE_SOURCE_DIR}/installer/quran.nsi
    DEPENDS ${STAGE_DIR}/stamp ${CMAKE_SOURCE_DIR}/installer/quran.nsi
    COMMENT "Building the ${target} installer"
    VERBATIM)
endforeach()

set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release/quran-verse-search-${QURAN_VERSION})
set(RELEASE_ARCHIVE ${CMAKE_BINARY_DIR}/quran-verse-search-${QURAN_VERSION}.zip)
add_custom_command(OUTPUT ${RELEASE_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/release
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RELEASE_DIR}/manual/x86 ${RELEASE_DIR}/manual/x64
  COMMAND ${CMAKE_COMMAND} -E copy ${INSTALLER_X86} ${INSTALLER_X64}
          ${CMAKE_SOURCE_DIR}/installer/INSTALL.txt ${CMAKE_SOURCE_DIR}/installer/LICENSES.txt
          ${RELEASE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${SHIPPED_DATA} ${RELEASE_DIR}/manual
  COMMAND ${CMAKE_COMMAND} -E copy ${STAGE_DIR}/x86/QuranAddin.wll ${RELEASE_DIR}/manual/x86
  COMMAND ${CMAKE_COMMAND} -E copy ${STAGE_DIR}/x64/QuranAddin.wll ${RELEASE_DIR}/manual/x64
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/release
          ${CMAKE_COMMAND} -E tar cf ${RELEASE_ARCHIVE} --format=zip
          quran-verse-search-${QURAN_VERSION}
  DEPENDS ${INSTALLER_X86} ${INSTALLER_X64} ${STAGE_DIR}/stamp ${CMAKE_SOURCE_DIR}/installer/INSTALL.txt
          ${CMAKE_SOURCE_DIR}/installer/LICENSES.txt
  COMMENT "Packing the release archive"
  VERBATIM)
add_custom_target(release_archive ALL DEPENDS ${RELEASE_ARCHIVE})
