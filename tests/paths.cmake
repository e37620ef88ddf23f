pelmark_add_test(tst_apppaths SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_apppaths.cpp LIBS pelmark_tools)
