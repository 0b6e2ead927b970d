# Installs the build into a fresh prefix, as `cmake --install` would for a
# user, and checks what a desktop needs: both programs, the desktop entry,
# the file types and the icons at every size, each consistent with the
# others. Run by CTest with -DBUILD=<build folder> -DPREFIX=<scratch folder>.

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${installed})")
endif()

set(share "${PREFIX}/share")
set(expected
  bin/kestrel
  bin/kestrel-cli
  share/applications/kestrel.desktop
  share/mime/packages/kestrel.xml
  share/icons/hicolor/scalable/apps/kestrel.svg
  share/doc/kestrel/copyright)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected
    share/icons/hicolor/${size}x${size}/apps/kestrel.png
    share/icons/hicolor/${size}x${size}/mimetypes/application-x-tollgate-contract.png
    share/icons/hicolor/${size}x${size}/mimetypes/application-x-quillon.png)
endforeach()
foreach(f ${expected})
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The entry names the installed program and icon, and the file types the
# MIME package defines.
file(READ "${share}/applications/kestrel.desktop" desktop)
file(READ "${share}/mime/packages/kestrel.xml" mime)
if(NOT desktop MATCHES "\nExec=kestrel " OR NOT desktop MATCHES "\nIcon=kestrel\n")
  message(FATAL_ERROR "the desktop entry does not start kestrel with its icon")
endif()
string(REGEX MATCH "\nMimeType=([^\n]*)" line "${desktop}")
string(REPLACE ";" " " types "${CMAKE_MATCH_1}")
separate_arguments(types)
foreach(type ${types})
  if(NOT mime MATCHES "mime-type type=\"${type}\"")
    message(FATAL_ERROR "the desktop entry opens ${type}, which the MIME package does not define")
  endif()
  string(REPLACE "/" "-" icon "${type}")
  if(NOT EXISTS "${share}/icons/hicolor/48x48/mimetypes/${icon}.png")
    message(FATAL_ERROR "no icon for ${type}")
  endif()
endforeach()
foreach(glob "*.con" "*.kvs" "*.kvl")
  if(NOT mime MATCHES "pattern=\"\\${glob}\"")
    message(FATAL_ERROR "the MIME package does not claim ${glob}")
  endif()
endforeach()

# The freedesktop tools' own checks, where they are installed.
find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
  execute_process(COMMAND "${DESKTOP_VALIDATE}" "${share}/applications/kestrel.desktop"
                  RESULT_VARIABLE valid OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT valid EQUAL 0 OR out MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  execute_process(COMMAND "${UPDATE_MIME}" "${share}/mime" RESULT_VARIABLE updated ERROR_VARIABLE out)
  if(NOT updated EQUAL 0 OR NOT EXISTS "${share}/mime/application/x-quillon.xml")
    message(FATAL_ERROR "update-mime-database does not take the MIME package: ${out}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
