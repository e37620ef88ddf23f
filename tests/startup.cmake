# The start-up with odd files and a splash screen closed while the service is silent.
pelmark_add_test(tst_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp
    LIBS pelmark_app PkgConfig::CPPHTTPLIB Threads::Threads)
