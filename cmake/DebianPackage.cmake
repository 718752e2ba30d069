# tamborelle-vst_<version>_amd64.deb, made by `cpack` in a build configured with
# -DTAMBORELLE_PACKAGE=ON (tools/build-deb.sh does both). Dependencies are read off the
# installed binaries by dpkg-shlibdeps, so a new library the code links is listed without
# anyone remembering to.
if(NOT TAMBORELLE_VST_DIR MATCHES "^/usr/")
  message(FATAL_ERROR "A package installs the module into a system folder, not ${TAMBORELLE_VST_DIR}: "
                      "configure with -DTAMBORELLE_VST_DIR=/usr/lib/vst")
endif()

set(TAMBORELLE_PACKAGE_MAINTAINER "Brisklaine <tamborelle@localhost>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamborelle-vst)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Brisklaine)
set(CPACK_PACKAGE_CONTACT ${TAMBORELLE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MIDI voice generator VST 2.4 plug-in")
# The summary above is its first line; CPack indents the rest and marks the blank line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tamborelle answers every played note with up to four voices: the note itself,
a parallel interval and two voices that rotate through four intervals each by
a pattern, every voice on its own MIDI channel with its own tempo-synced delay,
optionally snapped to a scale. It makes no sound: its product is MIDI.

The package holds the plug-in module in /usr/lib/vst, where Linux hosts look
for VST 2.4 plug-ins, and tamborelle-host, which renders MIDI files through it
(with a piano roll of what it played) and plays it live as a JACK MIDI client.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor's text is drawn in the face fontconfig gives for "Arial"; the live host
# needs a JACK server to talk to.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS jackd2)
include(CPack)
