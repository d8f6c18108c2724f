# Cross-compiling for Windows with mingw-w64. Included by the per-target toolchain files,
# which set MINGW_TARGET to the compiler's target triple.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT CMAKE_CXX_COMPILER)
  set(CMAKE_CXX_COMPILER ${MINGW_TARGET}-g++)
endif()
if(NOT CMAKE_C_COMPILER)
  set(CMAKE_C_COMPILER ${MINGW_TARGET}-gcc)
endif()
if(NOT CMAKE_RC_COMPILER)
  set(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)
endif()
set(CMAKE_OBJDUMP ${MINGW_TARGET}-objdump CACHE FILEPATH "objdump of the target")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
