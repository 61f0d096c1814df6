# Builds the Debian package into a scratch folder, unpacks it into a scratch
# root as dpkg would install it, and checks what is there, what it depends
# on and what lintian says of it.
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND cpack --config ${BUILD}/CPackConfig.cmake -G DEB -B ${SCRATCH}/out
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb "${SCRATCH}/out/clavora_*.deb")
list(LENGTH deb count)
if(NOT code EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made no package: ${out}")
endif()

execute_process(COMMAND dpkg -x ${deb} ${SCRATCH}/root RESULT_VARIABLE code)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "dpkg -x failed")
endif()
set(app_id example.clavora.Clavora)
foreach(file usr/bin/clavora usr/share/applications/${app_id}.desktop usr/share/metainfo/${app_id}.metainfo.xml
             usr/share/icons/hicolor/scalable/apps/${app_id}.svg usr/share/icons/hicolor/16x16/apps/${app_id}.png
             usr/share/icons/hicolor/48x48/apps/${app_id}.png usr/share/icons/hicolor/256x256/apps/${app_id}.png
             usr/share/man/man1/clavora.1.gz usr/share/doc/clavora/copyright usr/share/doc/clavora/changelog.gz)
    if(NOT EXISTS "${SCRATCH}/root/${file}")
        message(FATAL_ERROR "not in the package: ${file}")
    endif()
endforeach()
# Everything `cmake --install` puts under the prefix is in the package too.
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${SCRATCH}/stage OUTPUT_QUIET)
file(GLOB_RECURSE installed RELATIVE "${SCRATCH}/stage" "${SCRATCH}/stage/*")
foreach(file ${installed})
    if(NOT EXISTS "${SCRATCH}/root/usr/${file}")
        message(FATAL_ERROR "installed but not in the package: ${file}")
    endif()
endforeach()

# The libraries the program links, found by dpkg-shlibdeps, and the SVG
# plugins it loads for its pictures.
execute_process(COMMAND dpkg-deb -f ${deb} Depends OUTPUT_VARIABLE depends)
foreach(library libfluidsynth3 librtmidi libqt6widgets6 libjack libqt6svg6)
    if(NOT depends MATCHES "${library}")
        message(FATAL_ERROR "no dependency on ${library}: ${depends}")
    endif()
endforeach()

execute_process(COMMAND lintian --fail-on error ${deb} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "lintian: ${out}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
