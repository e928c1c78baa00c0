# qv_add_fuzzer(<target> SOURCES <files...> [LIBS <libraries...>] [SEEDS <folders...>]
#               [DICT <file>])
#
# One libFuzzer target under AddressSanitizer and UndefinedBehaviorSanitizer (clang only).
# Its seed corpus is SEEDS, by default the folder seeds/<target> beside its sources. The
# target is listed in ${CMAKE_BINARY_DIR}/fuzzers.txt as one line
# "<target> <executable> <dictionary or -> <seed folder>...", which the fuzz scripts read.
function(qv_add_fuzzer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DICT" "SOURCES;LIBS;SEEDS")
  if(arg_SOURCES)
    add_executable(${target} ${arg_SOURCES})
    target_link_libraries(${target} PRIVATE ${arg_LIBS})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
    qv_tests_include_root(${target})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  endif()
  if(NOT arg_SEEDS)
    set(arg_SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${target})
  endif()
  if(NOT arg_DICT)
    set(arg_DICT -)
  endif()
  list(JOIN arg_SEEDS " " seeds)
  set_property(GLOBAL APPEND PROPERTY QV_FUZZER_LIST
               "${target} $<TARGET_FILE:${target}> ${arg_DICT} ${seeds}")
endfunction()

# Writes the list of fuzz targets once every folder has added its own.
function(qv_write_fuzzer_list)
  get_property(fuzzers GLOBAL PROPERTY QV_FUZZER_LIST)
  list(JOIN fuzzers "\n" text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers.txt CONTENT "${text}\n")
endfunction()
