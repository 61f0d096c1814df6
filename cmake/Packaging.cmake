# `make deb` (cpack -G DEB in the build folder): a Debian package of
# whatever `cmake --install` installs, under /usr. Its library dependencies
# are read from the program by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clavora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Clavora developers <clavora@clavora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "virtual MIDI keyboard played with the computer keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "Clavora turns the computer keyboard into a musical keyboard: 44 keys of the\n\
computer keyboard, and as many on-screen keys played with the mouse, send notes\n\
through the built-in FluidSynth synthesizer or any MIDI port of the system\n\
(ALSA, JACK). A chord area plays keyboard chords and strummed guitar chords, a\n\
drums mode turns the keys into General MIDI percussion pads, and each area\n\
layers up to seven voices. English, Portuguese and Spanish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://clavora.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every picture of the windows is an SVG file, drawn by Qt's SVG image and
# icon plugins, which the program loads at run time rather than links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# The synthesizer needs a General MIDI SoundFont to be heard.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm")
include(CPack)
