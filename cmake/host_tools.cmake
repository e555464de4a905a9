# The programs that run while the build runs: the resource script writer and the picture maker for the
# programs' resources, and the text converter and the script compiler for the example medium. A build
# for another system builds them for this machine first, as a build of its own, and takes them from
# there; a build for this machine takes its own targets.
#
# Each tool is known by two variables: VT_TOOL_<name>, what a custom command runs, and
# VT_TOOL_<name>_DEPENDS, what it waits for.

set(VT_HOST_TOOL_DIRS make_rc=resources make_pictures=examples to_cp1250=examples setupc=compiler)

if(NOT CMAKE_CROSSCOMPILING)
  foreach(entry IN LISTS VT_HOST_TOOL_DIRS)
    string(REPLACE "=" ";" parts ${entry})
    list(GET parts 0 name)
    set(VT_TOOL_${name} $<TARGET_FILE:${name}>)
    set(VT_TOOL_${name}_DEPENDS ${name})
  endforeach()
  return()
endif()

# A host build that has the tools already (CI's own) can lend them: VTSETUP_HOST_TOOLS names its folder.
set(VTSETUP_HOST_TOOLS "" CACHE PATH "A host build whose tools a build for another system uses, instead of its own")
if(VTSETUP_HOST_TOOLS)
  set(VT_HOST_TOOLS_DIR ${VTSETUP_HOST_TOOLS})
else()
  set(VT_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
endif()
set(tool_names "")
set(tool_files "")
foreach(entry IN LISTS VT_HOST_TOOL_DIRS)
  string(REPLACE "=" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 folder)
  set(VT_TOOL_${name} ${VT_HOST_TOOLS_DIR}/${folder}/${name})
  if(VTSETUP_HOST_TOOLS)
    set(VT_TOOL_${name}_DEPENDS ${VT_TOOL_${name}})
  else()
    set(VT_TOOL_${name}_DEPENDS host_tools)
  endif()
  list(APPEND tool_names ${name})
  list(APPEND tool_files ${VT_TOOL_${name}})
endforeach()

if(VTSETUP_HOST_TOOLS)
  return()
endif()

include(ExternalProject)
# Configured with the machine's own compiler: nothing of this build's toolchain is passed on.
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${VT_HOST_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DVTSETUP_BUILD_TESTS=OFF -DVTSETUP_PLATFORM=host
             -DVTSETUP_WERROR=${VTSETUP_WERROR}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${tool_names}
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${tool_files}
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)
