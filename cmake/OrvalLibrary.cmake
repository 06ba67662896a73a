# Libraries of the client's own code, each compiled once and linked two ways.
#
# orval_add_library(NAME [SOURCES] files... [LIBS libraries...] [UPWARD libraries...]
#                   [INCLUDES directories...])
#   NAME_objects  the compiled objects (position-independent, so that both
#                 libraries below are made from them without a second compile)
#   NAME          a static library of them: what the product and the tools link
#   NAME_shared   in a tree with tests, a shared library of the same objects:
#                 what the test programs link, so that a hundred and more of
#                 them do not each carry a copy of the client
# LIBS are the libraries NAME's users link as well (PUBLIC); one made by this
# function stands for its shared twin in NAME_shared, so that a test program
# never holds two copies of one library. INCLUDES are PUBLIC include
# directories.
#
# UPWARD names the higher libraries that NAME's named layering exceptions
# (tests/lint/check_layering.py) call into. NAME cannot link them: they link
# NAME, and a cycle is what the layers are there to prevent. A program
# resolves them through orval_add_link_group(); in a tree with tests,
# NAME_upward_check links NAME's objects with LIBS and exactly the UPWARD
# libraries and fails on any other symbol, so a use of a higher layer that
# no exception declares fails the build as a missing link would.
function(orval_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS;UPWARD;INCLUDES" ${ARGN})
  add_library(${name}_objects OBJECT ${L_SOURCES} ${L_UNPARSED_ARGUMENTS})
  set_target_properties(${name}_objects PROPERTIES POSITION_INDEPENDENT_CODE ON)
  # Only for compiling: nothing links the object library itself.
  target_include_directories(${name}_objects PUBLIC ${L_INCLUDES})
  target_link_libraries(${name}_objects PUBLIC ${L_LIBS})

  add_library(${name} STATIC $<TARGET_OBJECTS:${name}_objects>)
  orval_objects_only(${name})
  target_include_directories(${name} PUBLIC ${L_INCLUDES})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  set_target_properties(${name} PROPERTIES ORVAL_UPWARD "${L_UPWARD}")
  set_property(GLOBAL APPEND PROPERTY ORVAL_TWIN_LIBRARIES ${name})

  if(ORVAL_BUILD_TESTS)
    orval_test_libraries(shared_libs ${L_LIBS})
    add_library(${name}_shared SHARED $<TARGET_OBJECTS:${name}_objects>)
    orval_objects_only(${name}_shared)
    target_include_directories(${name}_shared PUBLIC ${L_INCLUDES})
    target_link_libraries(${name}_shared PUBLIC ${shared_libs})
    set_target_properties(${name} PROPERTIES ORVAL_SHARED_TWIN ${name}_shared)
    # A missing symbol fails here, as it would when a program links the static
    # library, not first when a test loads it. (Clang's sanitizer runtimes live
    # in the program, so a library cannot resolve them on its own.)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (ORVAL_SANITIZE OR ORVAL_FUZZ))
      return()
    endif()
    if(NOT L_UPWARD)
      target_link_options(${name}_shared PRIVATE LINKER:--no-undefined)
      return()
    endif()
    # The twin leaves the upward symbols to the programs that load it; this
    # library, never loaded, checks them. The higher twins come in as files,
    # not targets, so that nothing they link resolves a symbol in their place.
    add_library(${name}_upward_check SHARED $<TARGET_OBJECTS:${name}_objects>)
    orval_objects_only(${name}_upward_check)
    target_link_libraries(${name}_upward_check PRIVATE ${shared_libs})
    foreach(upward IN LISTS L_UPWARD)
      target_link_libraries(${name}_upward_check PRIVATE "$<TARGET_FILE:${upward}_shared>")
      add_dependencies(${name}_upward_check ${upward}_shared)
    endforeach()
    target_link_options(${name}_upward_check PRIVATE LINKER:--no-undefined LINKER:--strip-all
      "LINKER:-rpath-link,$<TARGET_FILE_DIR:${name}_shared>")
  endif()
endfunction()

# A library made of objects compiled elsewhere: nothing of its own for moc,
# uic or rcc.
function(orval_objects_only target)
  set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()

# orval_add_link_group(NAME libraries...): an interface library NAME that links
# the libraries as one group, which the linker searches until nothing more
# resolves: what lets a lower library's declared UPWARD calls (see
# orval_add_library) reach the higher ones in a static link. It must hold
# every library that such a call passes on its way up, which the configure
# run checks. NAME_shared, in a tree with tests, links their twins (shared
# libraries resolve symbols in any order).
function(orval_add_link_group name)
  add_library(${name} INTERFACE)
  list(JOIN ARGN "," members)
  target_link_libraries(${name} INTERFACE "$<LINK_GROUP:RESCAN,${members}>")
  foreach(lower IN LISTS ARGN)
    get_target_property(upward ${lower} ORVAL_UPWARD)
    foreach(higher IN LISTS upward)
      orval_linked_targets(${higher} below_higher)
      foreach(between IN LISTS below_higher)
        orval_linked_targets(${between} below_between)
        if(${lower} IN_LIST below_between AND NOT between IN_LIST ARGN)
          message(FATAL_ERROR "${name}: ${lower} calls up into ${higher}, so ${between} between them "
                              "belongs to the group")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(ORVAL_BUILD_TESTS)
    orval_test_libraries(twins ${ARGN})
    list(JOIN twins "," twin_members)
    add_library(${name}_shared INTERFACE)
    target_link_libraries(${name}_shared INTERFACE "$<LINK_GROUP:orval_all_loaded,${twin_members}>")
    set_target_properties(${name} PROPERTIES ORVAL_SHARED_TWIN ${name}_shared)
  endif()
endfunction()

# A group of shared libraries that every program linking one of them loads:
# a lower twin's upward calls name no library of their own, so the program
# must load the higher twins even when it calls none of them itself (the
# toolchain links only the libraries a program calls, --as-needed).
set(CMAKE_LINK_GROUP_USING_orval_all_loaded "LINKER:--push-state,--no-as-needed" "LINKER:--pop-state")
set(CMAKE_LINK_GROUP_USING_orval_all_loaded_SUPPORTED TRUE)

# Puts the objects of an object library into NAME and its shared twin, e.g. a
# resource compiled elsewhere in the tree.
function(orval_library_add_objects name object_library)
  set_target_properties(${object_library} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${name} PRIVATE ${object_library})
  foreach(twin IN ITEMS ${name}_shared ${name}_upward_check)
    if(TARGET ${twin})
      target_link_libraries(${twin} PRIVATE ${object_library})
    endif()
  endforeach()
endfunction()

# Sets OUT to LIBS with each library of orval_add_library replaced by its
# shared twin: what a test program or test fixture links.
function(orval_test_libraries out)
  set(result "")
  foreach(lib IN LISTS ARGN)
    set(twin "")
    if(TARGET ${lib})
      get_target_property(twin ${lib} ORVAL_SHARED_TWIN)
    endif()
    if(twin)
      list(APPEND result ${twin})
    else()
      list(APPEND result ${lib})
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Sets OUT to the targets TARGET links, directly or through others.
function(orval_linked_targets target out)
  set(seen "")
  set(pending ${target})
  while(NOT pending STREQUAL "")
    list(POP_FRONT pending current)
    if(NOT TARGET ${current} OR current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(properties INTERFACE_LINK_LIBRARIES)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      list(APPEND properties LINK_LIBRARIES)
    endif()
    foreach(property IN LISTS properties)
      get_target_property(linked ${current} ${property})
      if(NOT linked)
        continue()
      endif()
      foreach(entry IN LISTS linked)
        # Entries made from another directory come between "::@" markers;
        # a static library's private links read $<LINK_ONLY:name>.
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" entry "${entry}")
        # A group, $<LINK_GROUP:FEATURE,a,b,...>, links each of its members.
        if(entry MATCHES "^\\$<LINK_GROUP:[^,]*,(.*)>$")
          string(REPLACE "," ";" entry "${CMAKE_MATCH_1}")
        endif()
        foreach(item IN LISTS entry)
          if(NOT item MATCHES "^::@")
            list(APPEND pending ${item})
          endif()
        endforeach()
      endforeach()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# Fails the configure run when a program or library links one of these
# libraries both ways (e.g. a test fixture on NAME_shared and the test on
# NAME): it would hold two copies of the code, each with its own statics.
function(orval_check_library_twins directory)
  get_property(twins GLOBAL PROPERTY ORVAL_TWIN_LIBRARIES)
  get_property(targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
      continue()
    endif()
    orval_linked_targets(${target} linked)
    foreach(twin IN LISTS twins)
      if(${twin} IN_LIST linked AND ${twin}_shared IN_LIST linked)
        message(FATAL_ERROR "${target} links both ${twin} and ${twin}_shared, so two copies of that code: "
                            "link a test's programs with orval_test_link() or add_orval_test(... LIBS), "
                            "which take ${twin}_shared")
      endif()
    endforeach()
  endforeach()
  get_property(subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    orval_check_library_twins("${subdirectory}")
  endforeach()
endfunction()
