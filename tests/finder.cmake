# Finding a race through the real main window against the simulator.
if(TARGET pelmark-statsim)
    pelmark_add_test(tst_finder SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_finder.cpp LIBS pelmark_app)
    if(TARGET tst_finder)
        target_compile_definitions(tst_finder PRIVATE
            STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>"
            TRACKS_DATA_PATH="${PROJECT_SOURCE_DIR}/data/Tracks.data")
        add_dependencies(tst_finder pelmark-statsim)
    endif()
endif()
