# The LZX decoder on arbitrary frames, and the encoder's round trip on
# arbitrary data.
tw_portable_library(cab_lzx_fuzz
  ${PROJECT_SOURCE_DIR}/cabinet/core/lzx/lzx_huffman.cpp
  ${PROJECT_SOURCE_DIR}/cabinet/core/lzx/lzx_decoder.cpp
  ${PROJECT_SOURCE_DIR}/cabinet/core/lzx/lzx_encoder.cpp)
target_compile_options(cab_lzx_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
tw_fuzz_target(lzx_decoder_fuzz ${CMAKE_CURRENT_LIST_DIR}/lzx_decoder_fuzz.cpp
  LIBS cab_lzx_fuzz)
