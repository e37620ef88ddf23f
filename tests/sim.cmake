if(TARGET pelmark-statsim)
    pelmark_add_test(tst_statsim SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_statsim.cpp
        LIBS pelmark_pubstats Qt6::Network)
    target_compile_definitions(tst_statsim PRIVATE
        STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>"
        TRACKS_DATA_PATH="${PROJECT_SOURCE_DIR}/data/Tracks.data")
    add_dependencies(tst_statsim pelmark-statsim)
endif()
if(TARGET pelmark-statsim)
    pelmark_add_test(tst_refresh SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_refresh.cpp
        LIBS pelmark_pubstats pelmark_launcher Qt6::Network)
    target_compile_definitions(tst_refresh PRIVATE STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>")
    add_dependencies(tst_refresh pelmark-statsim)
endif()
