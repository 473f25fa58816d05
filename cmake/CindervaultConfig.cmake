# One INTERFACE target that carries the language level, the warnings and the shared definitions.
# Every target of the project links it.
add_library(cindervault_config INTERFACE)
add_library(Cindervault::config ALIAS cindervault_config)

target_compile_features(cindervault_config INTERFACE cxx_std_20)
target_compile_options(cindervault_config INTERFACE -Wall -Wextra)
target_compile_definitions(cindervault_config INTERFACE
    _FILE_OFFSET_BITS=64
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    CINDERVAULT_VERSION="${PROJECT_VERSION}")
set(CMAKE_CXX_EXTENSIONS OFF)
