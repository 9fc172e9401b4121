# ORVENNA_SANITIZE: "address" (ASan + UBSan + libstdc++ assertions), "thread"
# (TSan) or "fuzzer" (the address set with libFuzzer's coverage, for clang).
set(ORVENNA_SANITIZE "" CACHE STRING "Sanitizer set: address, thread or fuzzer")
if(ORVENNA_SANITIZE STREQUAL "fuzzer")
  # Every library is instrumented for coverage; the fuzz targets link
  # libFuzzer's main themselves (fuzz/CMakeLists.txt).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined)
elseif(ORVENNA_SANITIZE STREQUAL "address")
  # GCC leaves float-cast-overflow out of "undefined"; out-of-range seconds
  # turned into time stamps are exactly what it catches.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined,float-cast-overflow)
  # ASan cannot see an index past a vector's size inside its capacity; the
  # library's own checks abort on every out-of-range operator[].
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
elseif(ORVENNA_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ORVENNA_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ORVENNA_SANITIZE must be empty, address, thread or fuzzer")
endif()
