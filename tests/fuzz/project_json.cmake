# The project's JSON reader.
tw_fuzz_target(project_json_fuzz ${CMAKE_CURRENT_LIST_DIR}/project_json_fuzz.cpp LIBS tw_project)
