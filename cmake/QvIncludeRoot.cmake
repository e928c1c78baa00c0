# qv_include_root(<target> <folder>)
#
# Gives <target> a public include root of its own: a folder in the build tree holding links to
# the headers of <folder> (a path below the source root, e.g. "workbench" or "workbench/gui")
# and to nothing else. "#include "<folder>/x.h"" then works in the target and in what links it,
# while the headers of a library that is not linked are not found: the include lines follow the
# dependency arrows.
function(qv_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  # The headers are the target's sources too: AUTOMOC then scans every one of them, where
  # finding a Q_OBJECT header beside its .cpp failed for headers reached through the links.
  target_sources(${target} PRIVATE ${headers})
  # AUTOMOC's depfile names only the files it saw last time, and nothing makes it run again
  # when a file is added (a merge, a new window), so its Q_OBJECT classes would never be
  # compiled: when the folder's list of files changes, its timestamp goes and it runs again.
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  set(old_files "")
  if(EXISTS ${root}.files)
    file(READ ${root}.files old_files)
  endif()
  if(NOT old_files STREQUAL "${files}")
    file(WRITE ${root}.files "${files}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()

# The whole of tests/ for the tests' own helpers ("tests/services/temp_folder.h").
function(qv_tests_include_root target)
  set(root ${CMAKE_BINARY_DIR}/include/tests_root)
  if(NOT EXISTS ${root}/tests)
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/tests ${root}/tests SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
