# The whole program under a virtual X server against the simulator: it must start,
# show its window with content, close cleanly on SIGTERM and leave the user's files
# as they were.
find_program(PELMARK_XVFB_RUN xvfb-run)
find_program(PELMARK_XVFB Xvfb)
if(PELMARK_XVFB_RUN AND PELMARK_XVFB AND TARGET Pelmark2 AND TARGET pelmark-statsim)
    add_executable(xwdcheck ${CMAKE_CURRENT_LIST_DIR}/e2e/xwdcheck.cpp)
    target_link_libraries(xwdcheck PRIVATE pelmark_options)
    add_test(NAME e2e_start_show_close
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/e2e/run-e2e.sh $<TARGET_FILE:Pelmark2>
            $<TARGET_FILE:pelmark-statsim> ${PROJECT_SOURCE_DIR}/data/Tracks.data
            $<TARGET_FILE:xwdcheck>)
    set_tests_properties(e2e_start_show_close PROPERTIES TIMEOUT 180)
endif()
