# korvex_gui_executable(target): a Unicode GUI-subsystem program (wWinMain).
function(korvex_gui_executable target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -municode)
endfunction()

# korvex_console_executable(target): a Unicode console program (wmain), such as
# the test harness's helpers.
function(korvex_console_executable target)
  target_link_options(${target} PRIVATE -municode)
endfunction()

# Debian's interpreter, which the install list brings: a version-manager shim
# found first on PATH costs half a second a start.
find_program(KORVEX_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
