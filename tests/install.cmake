pelmark_add_test(tst_accessible SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_accessible.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)

# The install into a temporary DESTDIR, the installed program under Xvfb and AT-SPI, and
# the .deb. It uses what the build made and rebuilds nothing.
if(TARGET Pelmark2 AND TARGET pelmark-statsim AND TARGET pelmark_icons)
    add_test(NAME install_validate_run_package
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install/run-install.sh ${PROJECT_BINARY_DIR}
            $<TARGET_FILE:pelmark-statsim> ${CMAKE_CURRENT_LIST_DIR}/install/atspi-read.py)
    set_tests_properties(install_validate_run_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
