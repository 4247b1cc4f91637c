# The strict build: every target of the project compiles with the same warnings, no implicit
# conversions between QString and 8-bit text (the program's bytes are CP1251, never ASCII by
# accident), and optionally with warnings as errors or under the sanitizers.

option(PMKEST_WERROR "Treat compiler warnings as errors" OFF)
option(PMKEST_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(pmkest_strict INTERFACE)
target_compile_options(pmkest_strict INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor
  $<$<BOOL:${PMKEST_WERROR}>:-Werror>)
target_compile_definitions(pmkest_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12's libstdc++ string code trips a false -Wrestrict when inlined (GCC bug 105329).
  target_compile_options(pmkest_strict INTERFACE -Wno-restrict)
endif()
if(PMKEST_SANITIZE)
  # Any finding ends the program, so a test cannot pass over one.
  set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(pmkest_strict INTERFACE ${sanitize})
  target_link_options(pmkest_strict INTERFACE ${sanitize})
endif()

function(_pmkest_targets_below dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _pmkest_targets_below(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# pmkest_strict_everywhere(): links pmkest_strict into every compiled target defined so far,
# in this directory and all below it; called once at the end of the top-level CMakeLists.
function(pmkest_strict_everywhere)
  _pmkest_targets_below(${CMAKE_CURRENT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE pmkest_strict)
    endif()
  endforeach()
endfunction()
