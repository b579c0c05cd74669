# Cross-builds the Windows exe on Linux with mingw-w64 (64-bit).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VR_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VR_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${VR_MINGW_TRIPLE}-windres)

# Headers and libraries come from the cross sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
