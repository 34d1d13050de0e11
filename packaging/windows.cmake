# One folder holds everything: the programs, the help file the window looks
# for beside itself, the example list and a short note.
install(TARGETS varidac-fill RUNTIME DESTINATION .)
if(VARIDAC_BUILD_UI)
  install(TARGETS varidac RUNTIME DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/resources/VARIDAC.HLP ${PROJECT_SOURCE_DIR}/examples/EXAMPLE.INF DESTINATION .)

# Windows' Notepad of old shows a file with bare line feeds on one line.
file(READ read-me.txt.in readme)
string(CONFIGURE "${readme}" readme @ONLY)
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/READ-ME.TXT "${readme}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/READ-ME.TXT DESTINATION .)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.TXT)
endif()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME varidac)
set(CPACK_PACKAGE_VENDOR "Varidac")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "EPROM images for varicap tuning from a tuning list")
set(CPACK_PACKAGE_FILE_NAME varidac-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Varidac")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Varidac")
set(CPACK_STRIP_FILES ON)

# Debian's NSIS makes 32-bit installers unless told otherwise, and those
# would put a 64-bit program among the 32-bit ones.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Varidac EPROM filler")
set(CPACK_NSIS_PACKAGE_NAME "Varidac EPROM filler")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/varidac.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/varidac.ico)
set(CPACK_NSIS_MENU_LINKS "READ-ME.TXT" "Read me")
if(VARIDAC_BUILD_UI)
  set(CPACK_PACKAGE_EXECUTABLES varidac "Varidac EPROM filler")
  set(CPACK_NSIS_INSTALLED_ICON_NAME varidac.exe)
endif()
include(CPack)
