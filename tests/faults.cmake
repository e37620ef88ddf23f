# Failure paths end to end: the real simulator's fault modes against the main window, and
# roster and settings writes on a read-only, full or missing folder.
if(TARGET pelmark-statsim)
    pelmark_add_test(tst_faults SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_faults.cpp
        LIBS pelmark_app Qt6::Network)
    if(TARGET tst_faults)
        target_compile_definitions(tst_faults PRIVATE
            STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>"
            TRACKS_DATA_PATH="${PROJECT_SOURCE_DIR}/data/Tracks.data")
        add_dependencies(tst_faults pelmark-statsim)
    endif()
endif()
