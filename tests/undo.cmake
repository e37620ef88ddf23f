# Nothing lost by a misclick: a deleted group goes to the desktop's trash, and the last
# roster change is undone through the main window.
pelmark_add_test(tst_undo SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_undo.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
