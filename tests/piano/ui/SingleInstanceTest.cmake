# Starts the program, then a second copy while the first runs: the second
# must end by itself at once with nothing to show; the first keeps running.
set(runtime "${CMAKE_CURRENT_BINARY_DIR}/single-instance-runtime")
file(REMOVE_RECURSE "${runtime}")
file(MAKE_DIRECTORY "${runtime}")
file(CHMOD "${runtime}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{XDG_RUNTIME_DIR} "${runtime}")
set(ENV{QT_QPA_PLATFORM} "offscreen")
set(ENV{CLAVORA_SYNTH_SETTINGS} "audio.driver=file audio.file.name=${runtime}/first.wav")

# The first instance runs until the time-out ends it.
execute_process(COMMAND sh -c "timeout 6 '${CLAVORA}' >/dev/null 2>&1 & sleep 2; \
    start=$(date +%s%N); timeout 5 '${CLAVORA}'; code=$?; end=$(date +%s%N); \
    echo $code $(( (end - start) / 1000000 )); wait"
    OUTPUT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(parts UNIX_COMMAND "${result}")
list(GET parts 0 code)
list(GET parts 1 elapsed)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "second instance exited with ${code} (124 means it stayed open)")
endif()
if(elapsed GREATER 2000)
    message(FATAL_ERROR "second instance took ${elapsed} ms to end")
endif()
message(STATUS "second instance ended in ${elapsed} ms")

# A lock left behind by a run that was killed must not stop the next start.
execute_process(COMMAND timeout -s KILL 2 "${CLAVORA}" OUTPUT_QUIET ERROR_QUIET)
if(NOT EXISTS "${runtime}/clavora.lock")
    message(FATAL_ERROR "the killed run left no lock behind")
endif()
execute_process(COMMAND timeout 3 "${CLAVORA}" RESULT_VARIABLE code OUTPUT_QUIET ERROR_QUIET)
if(NOT code EQUAL 124)
    message(FATAL_ERROR "a stale lock stopped the program (exit ${code})")
endif()
