# brisora_windows_resources(<target> DESCRIPTION <text>)
# Compiles the Windows resources of program <target> into it with windres (CMake's RC
# language): the widget's icon at every size in BRISORA_ICON_SIZES, rendered from
# assets/brisora.svg; version information (the project's version, the publisher of
# debian/control, the copyright of debian/copyright, <text> as the file's description); and
# the application manifest dist/windows/brisora.manifest.
# Needs cmake/RenderedArt.cmake (rsvg-convert, the icon sizes) included first.
enable_language(RC)
# Debian installs ImageMagick 6's convert under this name too; it packs the PNGs into one .ico.
find_program(BRISORA_IMAGEMAGICK NAMES convert-im6.q16 convert REQUIRED)

# The publisher is the Maintainer of debian/control without the address, the copyright that
# of the "Files: *" stanza of debian/copyright (its first Copyright line).
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/control maintainer REGEX "^Maintainer:" LIMIT_COUNT 1)
string(REGEX REPLACE "^Maintainer:[ \t]*([^<]*[^< \t])[ \t]*<.*$" "\\1" BRISORA_RC_PUBLISHER
  "${maintainer}")
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/copyright copyright REGEX "^Copyright:" LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright:[ \t]*([^<]*[^< \t])[ \t]*<.*$" "Copyright \\1"
  BRISORA_RC_COPYRIGHT "${copyright}")
if(BRISORA_RC_PUBLISHER STREQUAL "" OR BRISORA_RC_PUBLISHER MATCHES "^Maintainer:"
   OR NOT BRISORA_RC_COPYRIGHT MATCHES "^Copyright [0-9]")
  message(FATAL_ERROR "debian/control or debian/copyright lacks the publisher's name")
endif()

# FILEVERSION takes four numbers: 1.25 is 1,25,0,0.
set(version_numbers)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND version_numbers 0)
  else()
    list(APPEND version_numbers ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN version_numbers "," BRISORA_RC_VERSION_COMMAS)

# The icon, built once for both programs.
set(BRISORA_RC_DIR ${PROJECT_BINARY_DIR}/windows_resources)
set(BRISORA_RC_ICON ${BRISORA_RC_DIR}/brisora.ico)
set(icon_pngs)
foreach(side IN LISTS BRISORA_ICON_SIZES)
  set(png ${BRISORA_RC_DIR}/brisora-${side}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${RSVG_CONVERT} --width ${side} --height ${side} --format png --output ${png}
            ${PROJECT_SOURCE_DIR}/assets/brisora.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/brisora.svg
    VERBATIM)
  list(APPEND icon_pngs ${png})
endforeach()
add_custom_command(OUTPUT ${BRISORA_RC_ICON}
  COMMAND ${BRISORA_IMAGEMAGICK} ${icon_pngs} ${BRISORA_RC_ICON}
  DEPENDS ${icon_pngs}
  VERBATIM)
add_custom_target(brisora_windows_icon DEPENDS ${BRISORA_RC_ICON})

function(brisora_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 rc "" "DESCRIPTION" "")
  set(BRISORA_RC_NAME ${target})
  set(BRISORA_RC_FILE_NAME ${target}.exe)
  set(BRISORA_RC_DESCRIPTION "${rc_DESCRIPTION}")
  set(BRISORA_RC_MANIFEST ${PROJECT_SOURCE_DIR}/dist/windows/brisora.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/dist/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres reads the icon and the manifest, which CMake does not see in the .rc.
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${BRISORA_RC_ICON};${BRISORA_RC_MANIFEST}")
  add_dependencies(${target} brisora_windows_icon)
endfunction()
