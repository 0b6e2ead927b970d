# The Windows installer (CPack's NSIS generator; makensis from Debian's nsis
# package): `cpack -G NSIS` in the Windows build folder makes
# kestrel-<version>-win64.exe of what `cmake --install` installs. It
# registers the document types of the program: `.con` as "Sub.Document"
# ("Contract Document"), `.kvs` and `.kvl` as "Bid.Document" with the content
# type "application/x-quillon", with the documents' icon; where the program
# itself is in the package (a build with Qt for Windows), it opens and
# prints them, and its folder is recorded as "InstallDir". The uninstaller
# removes what was registered.
set(CPACK_NSIS_PACKAGE_NAME "Tollgate Kestrel")
set(CPACK_NSIS_DISPLAY_NAME "Tollgate Kestrel ${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Corvane\\\\Tollgate Kestrel")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/kestrel.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/packaging/windows/kestrel.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\kestrel-cli.exe")
set(CPACK_NSIS_CONTACT "tollgate@corvane.example")
set(CPACK_NSIS_URL_INFO_ABOUT "https://corvane.example/tollgate/kestrel")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/packaging/copyright)
install(FILES packaging/windows/kestrel-proposal.ico packaging/copyright DESTINATION share/kestrel)

set(icon "$INSTDIR\\\\share\\\\kestrel\\\\kestrel-proposal.ico")
set(register "
  WriteRegStr HKCR '.con' '' 'Sub.Document'
  WriteRegStr HKCR 'Sub.Document' '' 'Contract Document'
  WriteRegStr HKCR 'Sub.Document\\\\DefaultIcon' '' '${icon}'
  WriteRegStr HKCR '.kvs' '' 'Bid.Document'
  WriteRegStr HKCR '.kvs' 'Content Type' 'application/x-quillon'
  WriteRegStr HKCR '.kvl' '' 'Bid.Document'
  WriteRegStr HKCR '.kvl' 'Content Type' 'application/x-quillon'
  WriteRegStr HKCR 'Bid.Document\\\\DefaultIcon' '' '${icon}'")
set(unregister "
  DeleteRegKey HKCR '.con'
  DeleteRegKey HKCR 'Sub.Document'
  DeleteRegKey HKCR '.kvs'
  DeleteRegKey HKCR '.kvl'
  DeleteRegKey HKCR 'Bid.Document'")
if(TARGET kestrel)
  set(program "$INSTDIR\\\\bin\\\\kestrel.exe")
  string(APPEND register "
  WriteRegStr HKCR 'Sub.Document\\\\shell\\\\open\\\\command' '' '\"${program}\" \"%1\"'
  WriteRegStr HKCR 'Sub.Document\\\\shell\\\\print\\\\command' '' '\"${program}\" /p \"%1\"'
  WriteRegStr HKCR 'Sub.Document\\\\shell\\\\printto\\\\command' '' '\"${program}\" /pt \"%1\" \"%2\" \"%3\" \"%4\"'
  WriteRegStr HKCR 'Bid.Document\\\\shell\\\\open\\\\command' '' '\"${program}\" \"%1\"'
  WriteRegStr HKCU 'Software\\\\Corvane\\\\Tollgate\\\\Kestrel\\\\Directories' 'InstallDir' '$INSTDIR\\\\bin\\\\'")
  set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\kestrel.exe")
  set(CPACK_PACKAGE_EXECUTABLES kestrel "Tollgate Kestrel")
endif()
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "${register}")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${unregister}")
