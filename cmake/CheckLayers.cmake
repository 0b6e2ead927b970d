# Fails the build when a source file includes a folder its layer may not
# reach. Run as a script: cmake -DSRC=<src dir> -DSTAMP=<file> -P CheckLayers.cmake
#
# A folder may include itself and the folders listed after it. calc is the
# leaf; the core folders never include Qt. exchange (spreadsheet export and
# quote import) sits above the core, beside print and cli, and includes no
# Qt either. Folders not listed here (cli, print, app, views, grid) sit
# above the whole core and may include it.
set(allowed_calc     calc)
set(allowed_model    model calc)
set(allowed_file     file model calc)
set(allowed_report   report file model calc)
set(allowed_edit     edit report file model calc)
set(allowed_bidlib   bidlib model calc)
set(allowed_exchange exchange edit report file model calc)
set(allowed_print    print report file model calc)
set(core_layers calc model file report edit bidlib)
set(no_qt_layers ${core_layers} exchange)

function(layer_of path out)
  string(REGEX MATCH "^[^/]+" first "${path}")
  if(path MATCHES "^app/bidlib/")
    set(first bidlib)
  endif()
  set(${out} "${first}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(violations "")
foreach(rel ${sources})
  layer_of("${rel}" from)
  if(NOT DEFINED allowed_${from})
    continue()
  endif()
  file(STRINGS "${SRC}/${rel}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^\">]+)[\">].*$" "\\1" target "${line}")
    list(FIND no_qt_layers "${from}" no_qt)
    if(no_qt GREATER -1 AND target MATCHES "^(Q[A-Za-z]|qt)")
      list(APPEND violations "${rel} includes Qt <${target}>")
      continue()
    endif()
    if(NOT target MATCHES "/" OR NOT EXISTS "${SRC}/${target}")
      continue()
    endif()
    layer_of("${target}" to)
    list(FIND allowed_${from} "${to}" ok)
    if(ok EQUAL -1)
      list(APPEND violations "${rel} -> ${target}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
file(WRITE "${STAMP}" "layers ok\n")
