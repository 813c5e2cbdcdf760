# Wine test of the language modules: every template, control, string and picture, and a screenshot of every page.
add_executable(language_page_viewer WIN32
  ${CMAKE_CURRENT_LIST_DIR}/page_viewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_content.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resource_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/template_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_classes.cpp)
target_compile_options(language_page_viewer PRIVATE -municode ${TW_WARNINGS})
target_link_options(language_page_viewer PRIVATE -municode)
target_link_libraries(language_page_viewer PRIVATE tw_setup_sequence comctl32 gdi32 shell32)
target_include_directories(language_page_viewer PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(language_page_viewer PROPERTIES
  OUTPUT_NAME page_viewer
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/language)

tw_wine_test(NAME language_modules
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/language_test.sh
  DEPENDS german english language_page_viewer
  TIMEOUT 600
  ENV TW_PAGE_VIEWER=$<TARGET_FILE:language_page_viewer>)
