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

# A shared library from a source list. While a folder has no source yet the
# target is an interface library, so that everything that links it still builds.
function(kravik_add_library name sources include_dir)
  if(sources)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PUBLIC ${include_dir})
    kravik_strict(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${include_dir})
  endif()
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
