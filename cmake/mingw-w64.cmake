# Cross toolchain: Debian's mingw-w64 with POSIX threads, 64-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_ASM_NASM_OBJECT_FORMAT win64)

# libjpeg-turbo built for this target by tools/deps.sh lands here.
set(DENSILO_MINGW_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/deps/mingw" CACHE PATH
    "Prefix holding libraries cross-built for mingw-w64")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple} ${DENSILO_MINGW_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# W APIs only, and no min/max macros to break std::min and numeric_limits. Each function and
# object in its own section, so the release link can drop what nothing uses.
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE -DNOMINMAX -ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -DNOMINMAX -ffunction-sections -fdata-sections")

# Every program must need nothing but Windows' own DLLs: libgcc, libstdc++ and winpthread are
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows test programs run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
