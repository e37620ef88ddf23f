pelmark_add_test(tst_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_settings.cpp LIBS pelmark_dialogs)
pelmark_add_test(tst_addeditmate SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_addeditmate.cpp LIBS pelmark_app)
pelmark_add_test(tst_legends SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_legends.cpp LIBS pelmark_dialogs)
