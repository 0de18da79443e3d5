# Install step: copies the plug-in into the host's plug-in folder and creates, beside it, the
# folder in which the plug-in keeps its window position. The plug-in itself never
# creates that folder; without it the tool window always opens at (100, 100).
#
#   cmake --install <build dir> --prefix <host dir>
#
# <host dir> is the host's installation directory (what zvkGetZVDir reports), given as a path of
# the machine that runs the install, e.g. ~/.wine/drive_c/Modelvane under Wine.

set(ZVK_PLUGIN_DIR "zv/zvk" CACHE STRING
  "The host's plug-in folder, relative to the host directory (CMAKE_INSTALL_PREFIX)")
# Fixed by the plug-in: <host dir>\zv\zvk\zVkQuarvelind\zVkQuarvelind.ini.
set(ZVK_SETTINGS_DIR "zv/zvk/zVkQuarvelind")

# CMake's default prefix (/usr/local, or a program-files folder) is never a host directory: the
# install refuses it rather than scatter zv/zvk there. CMake reports its default only on the
# first configure, so it is kept in the cache; the usual defaults are listed besides.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(ZVK_DEFAULT_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}" CACHE INTERNAL "CMake's default install prefix")
endif()
set(zvk_not_a_host_dir "${ZVK_DEFAULT_INSTALL_PREFIX}" "/usr/local"
  "C:/Program Files/${PROJECT_NAME}" "C:/Program Files (x86)/${PROJECT_NAME}")
list(REMOVE_ITEM zvk_not_a_host_dir "")
install(CODE "set(zvk_not_a_host_dir \"${zvk_not_a_host_dir}\")")
install(CODE "
  list(FIND zvk_not_a_host_dir \"\${CMAKE_INSTALL_PREFIX}\" zvk_default)
  if(\"\${CMAKE_INSTALL_PREFIX}\" STREQUAL \"\" OR zvk_default GREATER -1)
    message(FATAL_ERROR \"Install into the host's installation directory: cmake --install <build dir> --prefix <host dir>\")
  endif()")

# Only the DLL itself: no import library, no runtime DLLs (everything is linked statically). It is
# the released copy, stripped of its symbols except in Debug builds.
install(PROGRAMS "${ZVK_RELEASED_PLUGIN}" DESTINATION "${ZVK_PLUGIN_DIR}")
# An empty directory list creates the destination folder and leaves anything already in it,
# so the position file of an earlier installation survives a new install.
install(DIRECTORY DESTINATION "${ZVK_SETTINGS_DIR}")
