# Cross-building for 64-bit ARM (a Raspberry Pi 3, 4 or 5 with a 64-bit system) on a PC,
# with Debian's arm64 packages installed beside the PC's own (scripts/cross-test).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config)
# Qt's code generators (moc) run on the PC: they come from the PC's own Qt.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
# The tests run here through user-mode emulation, the ARM libraries found under /.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /)
