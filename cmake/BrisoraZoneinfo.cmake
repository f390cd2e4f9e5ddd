# The zone files the gateway reads: Debian's tzdata, the system's own on Linux, compiled in
# where the system has none of its own (Windows).

# The names it looks up: the zone database's region folders and the single zones its sources
# give ("GMT" at sea). Not posix/ or right/ (the same zones again, or counted with leap
# seconds), nor the machine's own choices (localtime, posixrules).
set(BRISORA_ZONE_NAMES
  Africa America Antarctica Arctic Asia Atlantic Australia Europe Indian Pacific Etc GMT UTC)
set(BRISORA_ZONEINFO_DIR "/usr/share/zoneinfo" CACHE PATH
  "Zone files (Debian's tzdata), compiled into the gateway where the system has none")

# brisora_zoneinfo_resources(<target> <resource-name> PREFIX <path> [NAMES <name>...])
# Compiles the zone files of NAMES (folders or single zones below BRISORA_ZONEINFO_DIR;
# BRISORA_ZONE_NAMES when left out) into <target> as Qt resources, zone "America/Chicago"
# at "<path>/America/Chicago".
function(brisora_zoneinfo_resources target resourceName)
  cmake_parse_arguments(PARSE_ARGV 2 zones "" "PREFIX" "NAMES")
  if(NOT zones_NAMES)
    set(zones_NAMES ${BRISORA_ZONE_NAMES})
  endif()
  set(files)
  foreach(name IN LISTS zones_NAMES)
    set(path "${BRISORA_ZONEINFO_DIR}/${name}")
    if(IS_DIRECTORY "${path}")
      file(GLOB_RECURSE found LIST_DIRECTORIES false CONFIGURE_DEPENDS "${path}/*")
      list(APPEND files ${found})
    elseif(EXISTS "${path}")
      list(APPEND files "${path}")
    else()
      message(FATAL_ERROR "no zone files at ${path}: install tzdata or set BRISORA_ZONEINFO_DIR")
    endif()
  endforeach()
  # Zone files shrink by about half, short of rcc's own threshold of 70 %: that is still
  # worth it (some 290 KB), and zlib is there in every Qt.
  qt_add_resources(${target} ${resourceName}
    PREFIX "${zones_PREFIX}" BASE "${BRISORA_ZONEINFO_DIR}" FILES ${files}
    OPTIONS --compress-algo zlib --compress 9 --threshold 30)
endfunction()
