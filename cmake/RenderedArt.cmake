# brisora_rendered_art(<target>)
# Renders the vector art in assets/ to PNG with rsvg-convert and compiles the PNGs into
# <target> as ":/png/<name>-<w>x<h>.png", for builds without QtSvg (Windows). Each picture is
# rendered at the sizes the windows draw it for at the scale factors Windows offers
# (100 %, 125 %, 150 %, 175 %, 200 %); the window icon at the sizes shells ask for.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(BRISORA_ART_SCALES 100 125 150 175 200)
# The square sizes shells ask a program's icon for (cmake/WindowsResources.cmake too).
set(BRISORA_ICON_SIZES 16 24 32 48 64 128 256)

# Appends "<w>x<h>" for every scale factor of a picture drawn at w × h pixels at 100 %,
# rounded as QSize * qreal rounds.
function(brisora_scaled_sizes out width height)
  set(sizes ${${out}})
  foreach(scale IN LISTS BRISORA_ART_SCALES)
    math(EXPR w "(${width} * ${scale} + 50) / 100")
    math(EXPR h "(${height} * ${scale} + 50) / 100")
    list(APPEND sizes ${w}x${h})
  endforeach()
  set(${out} ${sizes} PARENT_SCOPE)
endfunction()

function(brisora_rendered_art target)
  set(source_dir ${PROJECT_SOURCE_DIR}/assets)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/rendered_art)

  # Name and sizes of each picture; the sizes at 100 % are those of the layout tables
  # (ConditionImages::kSidePixels, Picture2, the options background).
  file(GLOB conditions RELATIVE ${source_dir} ${source_dir}/conditions/*.svg)
  set(condition_sizes)
  brisora_scaled_sizes(condition_sizes 52 52)
  set(button_sizes)
  brisora_scaled_sizes(button_sizes 76 26)
  set(background_sizes)
  brisora_scaled_sizes(background_sizes 571 342)
  set(icon_sizes)
  foreach(side IN LISTS BRISORA_ICON_SIZES)
    list(APPEND icon_sizes ${side}x${side})
  endforeach()

  # One entry a picture, "file|size,size,...": a list may not nest in a list.
  list(JOIN icon_sizes "," icon_sizes)
  list(JOIN button_sizes "," button_sizes)
  list(JOIN background_sizes "," background_sizes)
  list(JOIN condition_sizes "," condition_sizes)
  set(pictures "brisora.svg|${icon_sizes}" "options-button.svg|${button_sizes}"
               "options-background.svg|${background_sizes}")
  foreach(condition IN LISTS conditions)
    list(APPEND pictures "${condition}|${condition_sizes}")
  endforeach()

  set(pngs)
  set(qrc_files)
  foreach(picture IN LISTS pictures)
    string(REPLACE "|" ";" parts "${picture}")
    string(REPLACE "," ";" parts "${parts}")
    list(POP_FRONT parts svg)
    string(REGEX REPLACE "\\.svg$" "" name ${svg})
    foreach(size IN LISTS parts)
      string(REPLACE "x" ";" sides ${size})
      list(GET sides 0 w)
      list(GET sides 1 h)
      set(png ${out_dir}/${name}-${size}.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${RSVG_CONVERT} --width ${w} --height ${h} --format png
                --output ${png} ${source_dir}/${svg}
        DEPENDS ${source_dir}/${svg}
        VERBATIM)
      list(APPEND pngs ${png})
      string(APPEND qrc_files "    <file>${name}-${size}.png</file>\n")
    endforeach()
  endforeach()

  set(qrc ${out_dir}/rendered_art.qrc)
  file(CONFIGURE OUTPUT ${qrc} CONTENT
    "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/png\">\n${qrc_files}  </qresource>\n</RCC>\n")
  set(cpp ${out_dir}/qrc_rendered_art.cpp)
  # --no-zstd: the host's rcc may compress with zstd, which a Windows QtCore cannot read.
  add_custom_command(OUTPUT ${cpp}
    COMMAND Qt6::rcc --no-zstd --name rendered_art --output ${cpp} ${qrc}
    DEPENDS ${qrc} ${pngs}
    WORKING_DIRECTORY ${out_dir}
    VERBATIM)
  target_sources(${target} PRIVATE ${cpp})
endfunction()
