# Windows trees: windows.h and the standard headers most files use, parsed once
# per set of compile flags instead of once per source file; they took most of
# a file's compile time.

# kavuno_windows_pch(name): a precompiled header with the current folder's flags.
function(kavuno_windows_pch name)
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/${name}.cpp CONTENT "// Precompiled header ${name}.\n")
  add_library(${name} OBJECT ${PROJECT_BINARY_DIR}/generated/${name}.cpp)
  target_precompile_headers(${name} PRIVATE
    <windows.h> <algorithm> <cstdint> <functional> <memory> <optional> <string> <string_view> <vector>)
endfunction()

# kavuno_reuse_pch(folder pch): every library and program below folder that has
# no precompiled header yet reuses pch.
function(kavuno_reuse_pch folder pch)
  kavuno_folder_targets(${folder} targets)
  foreach(target IN LISTS targets)
    get_target_property(own ${target} PRECOMPILE_HEADERS)
    get_target_property(reused ${target} PRECOMPILE_HEADERS_REUSE_FROM)
    if(NOT own AND NOT reused AND NOT target STREQUAL pch)
      target_precompile_headers(${target} REUSE_FROM ${pch})
    endif()
  endforeach()
endfunction()
