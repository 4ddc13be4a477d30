# The version resource (VERSIONINFO) of a program, from resources/version.rc.in
# and the project's one version number.
#
#   kavuno_version_resource(TARGET RC_FILE DESCRIPTION text ORIGINAL_FILENAME name)
#
# writes version.rc for TARGET into a folder of its own on TARGET's include
# path; RC_FILE, the program's resource script, includes it with
# #include "version.rc".
function(kavuno_version_resource target rc_file)
  cmake_parse_arguments(V "" "DESCRIPTION;ORIGINAL_FILENAME" "" ${ARGN})
  set(KAVUNO_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(KAVUNO_ORIGINAL_FILENAME "${V_ORIGINAL_FILENAME}")
  get_filename_component(KAVUNO_INTERNAL_NAME "${V_ORIGINAL_FILENAME}" NAME_WE)
  set(KAVUNO_VERSION_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(KAVUNO_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(dir ${PROJECT_BINARY_DIR}/generated/${target})
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${dir}/version.rc @ONLY)
  target_include_directories(${target} PRIVATE ${dir})
  # windres reports no dependencies: rebuild the script when the version changes.
  set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS ${dir}/version.rc)
endfunction()
