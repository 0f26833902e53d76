# kw_subsystem(TARGET DIR DEPS...): one static library per subsystem folder, from every .cpp in it
# except those of sub-folders with a CMakeLists.txt of their own (they build their own target).
# A folder whose sources have not arrived yet gives an interface library, so that dependants link.
function(kw_subsystem target dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB_RECURSE own_builds ${CMAKE_SOURCE_DIR}/${dir}/*/CMakeLists.txt)
  foreach(own ${own_builds})
    get_filename_component(own_dir ${own} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${own_dir}/")
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARGN} Threads::Threads)
    kw_own_target(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARGN} Threads::Threads)
  endif()
endfunction()

# Adds every direct subfolder of DIR that has a CMakeLists.txt (tools, bench, fuzz), so that
# each tool owns its folder and adding one touches no shared file.
function(kw_add_subdirectories dir)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Every program library, for tests, tools and benchmarks that exercise several subsystems.
set(KW_ALL_LIBS kw_app kw_features kw_update kw_macro kw_store kw_device kw_docs kw_platform tavex)

# kw_bench(NAME SOURCES... [LIBS ...]): a benchmark executable bin/bench-NAME. It prints one line
# per figure, "NAME VALUE UNIT"; scripts/bench.sh NAME runs it.
function(kw_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench-${name} ${B_SOURCES})
  target_link_libraries(bench-${name} PRIVATE ${KW_ALL_LIBS} ${B_LIBS})
  kw_own_target(bench-${name})
  if(TARGET kw_data)
    add_dependencies(bench-${name} kw_data)
  endif()
endfunction()

# kw_fuzz(NAME SOURCES... [LIBS ...]): a libFuzzer target bin/fuzz-NAME (clang, KW_BUILD_FUZZ=ON);
# scripts/fuzz.sh NAME [SECONDS] builds it under ASan+UBSan and runs it.
function(kw_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz-${name} ${F_SOURCES})
  target_compile_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz-${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(fuzz-${name} PRIVATE ${KW_ALL_LIBS} ${F_LIBS})
endfunction()
