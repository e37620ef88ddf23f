pelmark_add_test(tst_launcher SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_launcher.cpp
    LIBS pelmark_app)
pelmark_add_test(tst_launcher_join SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_launcher_join.cpp
    LIBS pelmark_app)
