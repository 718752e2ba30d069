# The module users copy or install: the built module with its debug information split
# off into a file beside it. The code is exactly the code the tests ran; the debug link
# lets a debugger find the symbols again for a crash in a user's copy.
#
#   <build>/release/Tamborelle64.so   (.dll when cross-built for Windows)
#   <build>/release/Tamborelle64.so.debug
set(TAMBORELLE_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(TAMBORELLE_RELEASE_MODULE ${TAMBORELLE_RELEASE_DIR}/Tamborelle64${CMAKE_SHARED_MODULE_SUFFIX})

if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "objcopy was not found; it splits the debug information off the release module")
endif()

add_custom_command(
  OUTPUT ${TAMBORELLE_RELEASE_MODULE} ${TAMBORELLE_RELEASE_MODULE}.debug
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAMBORELLE_RELEASE_DIR}
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:Tamborelle64> ${TAMBORELLE_RELEASE_MODULE}.debug
  COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${TAMBORELLE_RELEASE_MODULE}.debug
          $<TARGET_FILE:Tamborelle64> ${TAMBORELLE_RELEASE_MODULE}
  DEPENDS Tamborelle64
  COMMENT "Splitting the debug information off the release module"
  VERBATIM)
add_custom_target(tamborelle_release ALL DEPENDS ${TAMBORELLE_RELEASE_MODULE})
