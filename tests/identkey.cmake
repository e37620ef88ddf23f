# The ident key from the settings file to the request, and the service's own answers,
# against the real simulator.
if(TARGET pelmark-statsim)
    pelmark_add_test(tst_identkey SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_identkey.cpp
        LIBS pelmark_app Qt6::Network)
    if(TARGET tst_identkey)
        target_compile_definitions(tst_identkey PRIVATE
            STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>")
        add_dependencies(tst_identkey pelmark-statsim)
    endif()
endif()
