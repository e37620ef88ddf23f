pelmark_add_test(tst_mainwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
pelmark_add_test(tst_ticker SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ticker.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
pelmark_add_test(tst_screen SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_screen.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
add_test(NAME tst_screen_scale2 COMMAND tst_screen)
set_tests_properties(tst_screen_scale2 PROPERTIES ENVIRONMENT "PELMARK_TEST_SCALE=2" TIMEOUT 300)
