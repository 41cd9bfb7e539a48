# The built-in approach travels inside the host: its scenario and panel configuration are compiled
# into host_lib, so `panelhost` alone flies it from any folder. Editing either file re-runs the
# configure step, which writes them out again.
set(_builtin_files scenarios/approach.scn panels/q90/panel.cfg)
set(_builtin_out ${CMAKE_BINARY_DIR}/generated/builtin_files.cpp)
set(BUILTIN_FILE_ENTRIES "")
foreach(_file IN LISTS _builtin_files)
  file(READ ${PROJECT_SOURCE_DIR}/${_file} _text)
  string(FIND "${_text}" ")builtin\"" _clash)
  if(NOT _clash EQUAL -1)
    message(FATAL_ERROR "${_file} holds the raw-string delimiter )builtin\"")
  endif()
  string(APPEND BUILTIN_FILE_ENTRIES "    {\"${_file}\", R\"builtin(${_text})builtin\"},\n")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${_file})
endforeach()
file(CONFIGURE OUTPUT ${_builtin_out} CONTENT [=[
// Written by cmake/builtin_files.cmake from the files it names.
#include "host/cockpit_run.h"

namespace host {

const std::vector<std::pair<std::string, std::string_view>>& builtin_files() {
  static const std::vector<std::pair<std::string, std::string_view>> files = {
@BUILTIN_FILE_ENTRIES@  };
  return files;
}

}  // namespace host
]=] @ONLY)
target_sources(host_lib PRIVATE ${_builtin_out})
