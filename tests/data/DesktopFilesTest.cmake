# Installs the desktop files into a staging folder and validates them there.
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${STAGE} -P ${BUILD}/data/cmake_install.cmake
                RESULT_VARIABLE code OUTPUT_QUIET)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "installing the desktop files failed")
endif()

# The validators fail on a file that is missing; the package test checks the
# icons and the manual page.
set(app_id example.clavora.Clavora)
execute_process(COMMAND desktop-file-validate ${STAGE}/share/applications/${app_id}.desktop
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
# The addresses lie under the reserved .example domain, which never resolves.
execute_process(COMMAND appstreamcli validate --no-net ${STAGE}/share/metainfo/${app_id}.metainfo.xml
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${out}")
endif()

# The setup type reads as a MIME package: the database built from it knows
# the type and its pattern.
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${STAGE}/share update-mime-database ${STAGE}/share/mime
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "update-mime-database: ${out}")
endif()
file(READ ${STAGE}/share/mime/globs2 globs)
if(NOT EXISTS ${STAGE}/share/mime/application/x-clavora-setup.xml
   OR NOT globs MATCHES "application/x-clavora-setup:\\*\\.clavora")
    message(FATAL_ERROR "the setup type is not in the MIME database: ${globs}")
endif()
