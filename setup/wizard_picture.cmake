# Composes the setup's welcome and finish picture (164 x 314, the size the
# NSIS Modern UI shows beside those pages) from the program's own pictures,
# as a text pixel map for td-pixmap:
#
#   cmake -DPICTURES=<src/resources/pictures> -DOUTPUT=<file.txt> -P wizard_picture.cmake
#
# A navy band at the top carries the program's emblem (the About box's
# picture); below it, on the pictures' own grey, a host adapter, a hard disk,
# a CD-ROM drive and a tape drive hang on one red cable, as on the splash
# screen. Every picture keeps its colours: the pixel maps share one
# character per colour, and a character that two of them define differently
# stops the build.

cmake_minimum_required(VERSION 3.20)

set(WIDTH 164)
set(HEIGHT 314)
set(BAND 96)

# Reads the first image of a pixel map: its rows into <prefix>_ROWS, its
# size into <prefix>_W and <prefix>_H, and its colour lines into COLOURS.
function(read_pixmap path prefix)
  file(STRINGS ${path} lines)
  set(rows "")
  set(in_rows FALSE)
  foreach(line IN LISTS lines)
    if(in_rows)
      if(line STREQUAL "end")
        break()
      endif()
      list(APPEND rows "${line}")
    elseif(line MATCHES "^image ([0-9]+) ([0-9]+)")
      set(${prefix}_W ${CMAKE_MATCH_1} PARENT_SCOPE)
      set(${prefix}_H ${CMAKE_MATCH_2} PARENT_SCOPE)
    elseif(line MATCHES "^colour (.) ([0-9A-Fa-f]+)")
      set(char "${CMAKE_MATCH_1}")
      set(rgb "${CMAKE_MATCH_2}")
      if(DEFINED COLOUR_${char} AND NOT COLOUR_${char} STREQUAL rgb)
        message(FATAL_ERROR "${path}: colour '${char}' is ${rgb} here, ${COLOUR_${char}} elsewhere")
      endif()
      set(COLOUR_${char} ${rgb} PARENT_SCOPE)
      set(COLOUR_${char} ${rgb})
      list(APPEND COLOURS "${char}")
      list(REMOVE_DUPLICATES COLOURS)
    elseif(line STREQUAL "rows")
      set(in_rows TRUE)
    endif()
  endforeach()
  set(${prefix}_ROWS "${rows}" PARENT_SCOPE)
  set(COLOURS "${COLOURS}" PARENT_SCOPE)
endfunction()

# Puts a picture's rows into the canvas with its top-left corner at x, y.
function(place prefix x y)
  math(EXPR last "${${prefix}_H} - 1")
  foreach(r RANGE ${last})
    list(GET ${prefix}_ROWS ${r} source)
    math(EXPR at "${y} + ${r}")
    list(GET CANVAS ${at} row)
    math(EXPR after "${x} + ${${prefix}_W}")
    string(SUBSTRING "${row}" 0 ${x} left)
    string(SUBSTRING "${row}" ${after} -1 right)
    list(REMOVE_AT CANVAS ${at})
    list(INSERT CANVAS ${at} "${left}${source}${right}")
  endforeach()
  set(CANVAS "${CANVAS}" PARENT_SCOPE)
endfunction()

set(COLOURS "")
set(COLOUR_n 000080)
set(COLOUR_g C0C0C0)
set(COLOUR_r FF0000)
list(APPEND COLOURS n g r)
read_pixmap(${PICTURES}/bitmap-142-about.txt EMBLEM)
set(DEVICES bitmap-119-host-adapter bitmap-120-hard-disk bitmap-121-cd-rom bitmap-122-tape)
foreach(device IN LISTS DEVICES)
  read_pixmap(${PICTURES}/${device}.txt ${device})
endforeach()

# The canvas: the navy band, then grey with the cable down the middle.
string(REPEAT "n" ${WIDTH} navy)
math(EXPR cable_left "${WIDTH} / 2 - 1")
math(EXPR cable_right "${WIDTH} - ${cable_left} - 2")
string(REPEAT "g" ${cable_left} grey_left)
string(REPEAT "g" ${cable_right} grey_right)
string(REPEAT "g" ${WIDTH} grey)
set(CANVAS "")
math(EXPR last_row "${HEIGHT} - 1")
# The cable runs from the middle of the first picture to that of the last.
math(EXPR first_top "${BAND} + 24")
list(LENGTH DEVICES device_count)
math(EXPR cable_top "${first_top} + 16")
math(EXPR cable_bottom "${cable_top} + (${device_count} - 1) * 44")
foreach(y RANGE ${last_row})
  if(y LESS BAND)
    list(APPEND CANVAS "${navy}")
  elseif(y GREATER_EQUAL cable_top AND y LESS cable_bottom)
    list(APPEND CANVAS "${grey_left}rr${grey_right}")
  else()
    list(APPEND CANVAS "${grey}")
  endif()
endforeach()

math(EXPR x "(${WIDTH} - ${EMBLEM_W}) / 2")
math(EXPR y "(${BAND} - ${EMBLEM_H}) / 2")
place(EMBLEM ${x} ${y})
set(y ${first_top})
foreach(device IN LISTS DEVICES)
  math(EXPR x "(${WIDTH} - ${${device}_W}) / 2")
  place(${device} ${x} ${y})
  math(EXPR y "${y} + ${${device}_H} + 12")
endforeach()

set(text "# The setup's welcome and finish picture, composed by setup/wizard_picture.cmake.\n")
string(APPEND text "image ${WIDTH} ${HEIGHT} 4\n")
foreach(char IN LISTS COLOURS)
  string(APPEND text "colour ${char} ${COLOUR_${char}}\n")
endforeach()
string(APPEND text "rows\n")
foreach(row IN LISTS CANVAS)
  string(APPEND text "${row}\n")
endforeach()
string(APPEND text "end\n")
file(WRITE ${OUTPUT} "${text}")
