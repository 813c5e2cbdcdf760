# Readers of outside data in the resource work: the binder's .RES reader and
# the folder remover's command line.
tw_fuzz_target(res_file_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/res_file_fuzz.cpp LIBS tw_common)

tw_fuzz_target(remove_request_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/remove_request_fuzz.cpp)
target_sources(remove_request_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tools/zeturfd/remove_request.cpp)
target_include_directories(remove_request_fuzz PRIVATE ${PROJECT_SOURCE_DIR})
