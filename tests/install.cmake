pelmark_add_test(tst_accessible SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_accessible.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
# The same suite as a screen reader's bus gets it: Qt tells of changes only while one
# listens, so it runs on Xvfb with a session bus of its own that starts the accessibility
# bus.
find_program(PELMARK_DBUS_RUN_SESSION dbus-run-session)
find_program(PELMARK_XVFB_RUN xvfb-run)
if(PELMARK_DBUS_RUN_SESSION AND PELMARK_XVFB_RUN)
    add_test(NAME tst_accessible_bus COMMAND ${PELMARK_DBUS_RUN_SESSION} -- ${PELMARK_XVFB_RUN} -a
        env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PELMARK_A11Y_BUS=1
        $<TARGET_FILE:tst_accessible>)
    set_tests_properties(tst_accessible_bus PROPERTIES TIMEOUT 300)
endif()

# The install into a temporary DESTDIR, the installed program under Xvfb and AT-SPI, and
# the .deb. It uses what the build made and rebuilds nothing.
if(TARGET Pelmark2 AND TARGET pelmark-statsim AND TARGET pelmark_icons)
    add_test(NAME install_validate_run_package
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install/run-install.sh ${PROJECT_BINARY_DIR}
            $<TARGET_FILE:pelmark-statsim> ${CMAKE_CURRENT_LIST_DIR}/install/atspi-read.py)
    set_tests_properties(install_validate_run_package PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
