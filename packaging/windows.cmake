# One folder holds everything: the programs, the help file the window looks
# for beside itself, the example list, a short note and the licence.
install(TARGETS varidac-fill RUNTIME DESTINATION .)
if(VARIDAC_BUILD_UI)
  install(TARGETS varidac RUNTIME DESTINATION .)
endif()

# Windows' Notepad of old shows a file with bare line feeds on one line:
# every text file shipped has CR LF line ends, whatever the source has.
# Written when CMake runs, and again whenever the source changes.
function(varidac_windows_text source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

set(shipped ${CMAKE_CURRENT_BINARY_DIR}/shipped)
varidac_windows_text(${PROJECT_SOURCE_DIR}/resources/VARIDAC.HLP ${shipped}/VARIDAC.HLP)
varidac_windows_text(${PROJECT_SOURCE_DIR}/examples/EXAMPLE.INF ${shipped}/EXAMPLE.INF)
install(FILES ${shipped}/VARIDAC.HLP ${shipped}/EXAMPLE.INF DESTINATION .)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  varidac_windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${shipped}/LICENSE.TXT)
  install(FILES ${shipped}/LICENSE.TXT DESTINATION .)
endif()

# The note names each file that is there, in the zip and installed alike.
set(VARIDAC_READ_ME_FILES "")
if(VARIDAC_BUILD_UI)
  string(APPEND VARIDAC_READ_ME_FILES "varidac.exe       The window.\n")
endif()
string(APPEND VARIDAC_READ_ME_FILES
  "varidac-fill.exe  The same filler run from the command line:\n"
  "                  varidac-fill [--start TEXT] [--end TEXT] [--eprom 27C64|27C128|27C256|27C512] LIST\n"
  "                  (varidac-fill /? tells every option)\n")
if(VARIDAC_BUILD_UI)
  string(APPEND VARIDAC_READ_ME_FILES "VARIDAC.HLP       The user's guide (HTML), opened by the window's \"?\" button.\n")
else()
  string(APPEND VARIDAC_READ_ME_FILES "VARIDAC.HLP       The user's guide (HTML): open it in a browser.\n")
endif()
string(APPEND VARIDAC_READ_ME_FILES
  "EXAMPLE.INF       An example tuning list: one \"frequency,voltage\" record a line,\n"
  "                  600 to 1600 kHz.\n"
  "READ-ME.TXT       This note.\n")
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  string(APPEND VARIDAC_READ_ME_FILES "LICENSE.TXT       The licence (MIT) under which you may use and pass on the program.\n")
endif()
configure_file(read-me.txt.in ${CMAKE_CURRENT_BINARY_DIR}/read-me.txt @ONLY)
varidac_windows_text(${CMAKE_CURRENT_BINARY_DIR}/read-me.txt ${shipped}/READ-ME.TXT)
install(FILES ${shipped}/READ-ME.TXT DESTINATION .)

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
# What the uninstaller would leave behind. CPack's removes the key it keeps
# the installed folder in, Software\Varidac\Varidac, but not the vendor's key
# above it; nothing else of ours is kept there, so it goes too once empty.
# And the uninstaller runs from a copy of itself in a temporary folder,
# which the system would remove only at its next start: a hidden command,
# started outside that folder, removes it once the copy has ended (never
# when the uninstaller runs in place, from the installed folder).
string(APPEND CPACK_NSIS_DEFINES "
Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  StrCmp $EXEDIR $INSTDIR done
    SetOutPath $TEMP
    ExecShell '' '$SYSDIR\\\\cmd.exe' '/c for /l %i in (1,1,30) do @(ping -n 2 127.0.0.1 >nul & del /f /q \\\"$EXEPATH\\\" 2>nul & rd \\\"$EXEDIR\\\" 2>nul & if not exist \\\"$EXEDIR\\\" exit)' SW_HIDE
  done:
FunctionEnd")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Varidac EPROM filler")
set(CPACK_NSIS_PACKAGE_NAME "Varidac EPROM filler")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/varidac.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/varidac.ico)
set(CPACK_NSIS_MENU_LINKS "READ-ME.TXT" "Read me")
# The system's installed apps read these two as numbers; CPack writes them
# as text.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegDWORD SHCTX 'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}' NoModify 1
  WriteRegDWORD SHCTX 'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}' NoRepair 1")
# The window's copy of the guide, in the local application data of whoever
# asked for it: the user who uninstalls loses theirs. From the environment,
# since $LOCALAPPDATA names the shared folder once the uninstaller works for
# all users.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ExpandEnvStrings $0 '%LOCALAPPDATA%'
  StrCmp $0 '%LOCALAPPDATA%' +2
    RMDir /r '$0\\\\Varidac'")
if(VARIDAC_BUILD_UI)
  set(CPACK_PACKAGE_EXECUTABLES varidac "Varidac EPROM filler")
  set(CPACK_NSIS_INSTALLED_ICON_NAME varidac.exe)
endif()
include(CPack)
