# Gives a Windows program its version resource (from project(VERSION)), its
# manifest (common controls 6, DPI awareness, long paths, UTF-8 as the
# active code page) and, when ICON is given, its icon.
function(varidac_windows_resources target description)
  cmake_parse_arguments(ARG "" "ICON" "" ${ARGN})
  set(VARIDAC_PROGRAM ${target})
  set(VARIDAC_DESCRIPTION "${description}")
  set(VARIDAC_ICON_LINE "")
  if(ARG_ICON)
    set(VARIDAC_ICON_LINE "1 ICON \"${ARG_ICON}\"")
  endif()
  set(dir ${CMAKE_BINARY_DIR}/generated/${target})
  set(VARIDAC_MANIFEST ${dir}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/program.manifest.in ${VARIDAC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
endfunction()
