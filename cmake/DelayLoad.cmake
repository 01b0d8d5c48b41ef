# Delay-load import libraries for the DLLs the product imports that are not
# KnownDLLs. A static import is resolved from the program's own folder before
# any of our code runs, so a DLL of the same name planted beside the installer
# would run elevated; delay-loaded, it is looked up only on first use, after
# start-up has limited the search to System32.
#
# korvex_delay_load_library(NAME): target korvex_delayload_<NAME>, built by
# dlltool from cmake/delayload/<NAME>.def. The .def files list what the
# product calls, written by hand so that they do not depend on Wine's exports.
# mingw's import library follows on the link line for what test tools call
# beyond that; a function the product starts to use must be added to the .def
# (the planted-DLL scenario fails otherwise).
find_program(KORVEX_DLLTOOL NAMES x86_64-w64-mingw32-dlltool PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

function(korvex_delay_load_library name)
  set(def ${CMAKE_SOURCE_DIR}/cmake/delayload/${name}.def)
  set(library ${CMAKE_BINARY_DIR}/delayload/libkorvex_delayload_${name}.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
    COMMAND ${KORVEX_DLLTOOL} --input-def ${def} --output-delaylib ${library}
    DEPENDS ${def}
    COMMENT "Delay-load library for ${name}"
    VERBATIM)
  add_custom_target(korvex_delayload_${name}_file DEPENDS ${library})
  add_library(korvex_delayload_${name} INTERFACE)
  target_link_libraries(korvex_delayload_${name} INTERFACE ${library} ${name})
  add_dependencies(korvex_delayload_${name} korvex_delayload_${name}_file)
endfunction()

if(WIN32)
  foreach(name msi wininet d2d1 dwrite gdiplus uxtheme comctl32 bcrypt wintrust crypt32 oleacc)
    korvex_delay_load_library(${name})
  endforeach()
endif()
