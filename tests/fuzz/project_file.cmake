# The project file reader.
tw_fuzz_target(project_file_fuzz ${CMAKE_CURRENT_LIST_DIR}/project_file_fuzz.cpp LIBS tw_project)
