# The window's everyday use: keys, the tree's menu, the empty list's line, the tray and
# the columns' widths, through the real main window.
pelmark_add_test(tst_windowuse SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_windowuse.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
