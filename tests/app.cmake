pelmark_add_test(tst_mainwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
pelmark_add_test(tst_ticker SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ticker.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
