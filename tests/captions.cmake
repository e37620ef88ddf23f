# Window captions as the X server holds them (what the window manager draws).
find_program(PELMARK_XVFB_RUN xvfb-run)
find_program(PELMARK_XPROP xprop)
if(PELMARK_XVFB_RUN AND PELMARK_XPROP)
    add_executable(tst_captions ${CMAKE_CURRENT_LIST_DIR}/tst_captions.cpp)
    target_link_libraries(tst_captions PRIVATE pelmark_app Qt6::Test pelmark_options)
    target_include_directories(tst_captions PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME tst_captions
        COMMAND ${PELMARK_XVFB_RUN} -a env QT_QPA_PLATFORM=xcb $<TARGET_FILE:tst_captions>)
    set_tests_properties(tst_captions PROPERTIES TIMEOUT 120)
endif()
