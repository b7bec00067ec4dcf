# Helpers shared by every folder's CMakeLists.

# Strict warnings on our own code.
function(kravik_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(KRAVIK_SANITIZE)
    # GCC's flow analysis reports false maybe-uninitialized warnings inside the
    # standard library once the sanitizers instrument it.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
  endif()
endfunction()

# Where an installed package keeps the headers of every library, each under its own folder
# (framework/, utils/, lumopi/, ...), as the sources include them.
set(KRAVIK_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/kravik70)

# A shared library from a source list. While a folder has no source yet the
# target is an interface library, so that everything that links it still builds.
# The library is installed and exported into the Kravik70 CMake package.
function(kravik_add_library name sources include_dir)
  set(includes $<BUILD_INTERFACE:${include_dir}> $<INSTALL_INTERFACE:${KRAVIK_INSTALL_INCLUDEDIR}>)
  if(sources)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PUBLIC ${includes})
    set_target_properties(${name} PROPERTIES INSTALL_RPATH "$ORIGIN")
    kravik_strict(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${includes})
  endif()
  add_library(Kravik70::${name} ALIAS ${name})
  install(TARGETS ${name} EXPORT Kravik70Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()

# Installs the headers (*.h, *.inc) below `dir`, keeping their paths relative to `base`.
function(kravik_install_headers base dir)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.inc)
  foreach(header ${headers})
    file(RELATIVE_PATH rel ${base} ${header})
    get_filename_component(folder ${rel} DIRECTORY)
    install(FILES ${header} DESTINATION ${KRAVIK_INSTALL_INCLUDEDIR}/${folder})
  endforeach()
endfunction()

# Public link dependencies, whatever kind of library the target is.
function(kravik_link name)
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# Private link dependencies (implementation only); nothing for an interface library.
function(kravik_link_private name)
  get_target_property(kind ${name} TYPE)
  if(NOT kind STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} PRIVATE ${ARGN})
  endif()
endfunction()
