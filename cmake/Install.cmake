# What `cmake --install` puts where. A user's install copies the release module into the
# user's own VST folder and nothing else, so it needs no root:
#
#   cmake --install build        -> ~/.vst/Tamborelle64.so (TAMBORELLE_VST_DIR names the folder)
#
# A package build (-DTAMBORELLE_PACKAGE=ON) lays out a system install instead: the module
# in /usr/lib/vst, where hosts look without being told, the command-line host in bin and
# the README with the example in the documentation folder.
option(TAMBORELLE_PACKAGE "Install as a Debian package lays it out: /usr/lib/vst, bin, share/doc" OFF)
if(TAMBORELLE_PACKAGE OR "$ENV{HOME}" STREQUAL "")
  set(TAMBORELLE_DEFAULT_VST_DIR /usr/lib/vst)
else()
  set(TAMBORELLE_DEFAULT_VST_DIR $ENV{HOME}/.vst)
endif()
set(TAMBORELLE_VST_DIR ${TAMBORELLE_DEFAULT_VST_DIR} CACHE PATH
    "Folder the VST module is installed into (~/.vst for a user, /usr/lib/vst for a package)")

install(FILES ${TAMBORELLE_RELEASE_MODULE} DESTINATION ${TAMBORELLE_VST_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(TAMBORELLE_PACKAGE)
  install(TARGETS tamborelle-host RUNTIME DESTINATION bin)
  set(TAMBORELLE_DOC_DIR share/doc/tamborelle-vst)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${TAMBORELLE_DOC_DIR})
  # The README's pictures, at the paths it names them by.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${TAMBORELLE_DOC_DIR} FILES_MATCHING PATTERN "*.png")
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples DESTINATION ${TAMBORELLE_DOC_DIR} USE_SOURCE_PERMISSIONS)
  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()
