pelmark_add_test(tst_presence SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_presence.cpp
    LIBS pelmark_presence)

# The real main window against the simulator, with a fake notification service on a
# private session bus that the suite's own bus daemon provides.
find_program(PELMARK_DBUS_RUN_SESSION dbus-run-session)
if(TARGET pelmark_app AND TARGET pelmark-statsim AND PELMARK_DBUS_RUN_SESSION)
    add_executable(tst_presence_bus ${CMAKE_CURRENT_LIST_DIR}/tst_presence_bus.cpp)
    target_link_libraries(tst_presence_bus PRIVATE pelmark_app Qt6::DBus Qt6::Test pelmark_options)
    target_include_directories(tst_presence_bus PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_compile_definitions(tst_presence_bus PRIVATE
        STATSIM_PATH="$<TARGET_FILE:pelmark-statsim>"
        TRACKS_DATA_PATH="${PROJECT_SOURCE_DIR}/data/Tracks.data")
    add_dependencies(tst_presence_bus pelmark-statsim)
    add_test(NAME tst_presence_bus
        COMMAND ${PELMARK_DBUS_RUN_SESSION} -- $<TARGET_FILE:tst_presence_bus>)
    set_tests_properties(tst_presence_bus PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endif()
