# One INTERFACE target that carries the language level, the warnings and the shared definitions.
# Every target of the project links it.
add_library(cindervault_config INTERFACE)
add_library(Cindervault::config ALIAS cindervault_config)

target_compile_features(cindervault_config INTERFACE cxx_std_20)
# Beyond -Wall -Wextra: casts that say what they do and neither drop const nor raise alignment,
# virtual functions that really override, and standard C++ only.
target_compile_options(cindervault_config INTERFACE -Wall -Wextra -Wold-style-cast -Wcast-qual -Wcast-align
    -Woverloaded-virtual -Wnon-virtual-dtor -pedantic)
target_compile_definitions(cindervault_config INTERFACE
    _FILE_OFFSET_BITS=64
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    CINDERVAULT_VERSION="${PROJECT_VERSION}")
set(CMAKE_CXX_EXTENSIONS OFF)

# The privileged helper's D-Bus interface. The helper's adaptor (src/helper) and the application's
# proxy (src/system) are both generated from this one description; the names both sides agree on
# beyond it are in src/common/HelperToolProtocol.h.
set(CINDERVAULT_HELPER_SERVICE_NAME com.Ostrevane.CindervaultForMac.HelperTool)
set(CINDERVAULT_HELPER_INTERFACE ${PROJECT_SOURCE_DIR}/resources/dbus/${CINDERVAULT_HELPER_SERVICE_NAME}.xml)

# The methods of that interface as a list for C++, helpertoolmethods.h in CINDERVAULT_HELPER_METHODS_DIR:
# the helper and its client each check at compile time that they have a function for every method,
# so that a method added to the description without its handler or its call fails the build. Made
# again whenever the description changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CINDERVAULT_HELPER_INTERFACE})
file(READ ${CINDERVAULT_HELPER_INTERFACE} helper_interface)
# Comments may name methods too; XML allows no "--" inside one.
string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" helper_interface "${helper_interface}")
string(REGEX MATCHALL "<method[ \t\r\n]+name=\"[A-Za-z_][A-Za-z0-9_]*\"" helper_methods "${helper_interface}")
if(NOT helper_methods)
    message(FATAL_ERROR "${CINDERVAULT_HELPER_INTERFACE} describes no method")
endif()
set(CINDERVAULT_HELPER_METHOD_LIST "")
foreach(method IN LISTS helper_methods)
    string(REGEX REPLACE ".*name=\"([A-Za-z0-9_]+)\"" "\\1" method "${method}")
    string(APPEND CINDERVAULT_HELPER_METHOD_LIST " \\\n    X(${method})")
endforeach()
set(CINDERVAULT_HELPER_METHODS_DIR ${PROJECT_BINARY_DIR}/helper-interface)
file(CONFIGURE OUTPUT ${CINDERVAULT_HELPER_METHODS_DIR}/helpertoolmethods.h CONTENT [=[
// Made by the build from resources/dbus/@CINDERVAULT_HELPER_SERVICE_NAME@.xml: edit that file.
#pragma once

// X(method) for each method of the privileged helper's interface, in the order of its description.
#define CINDERVAULT_HELPER_TOOL_METHODS(X)@CINDERVAULT_HELPER_METHOD_LIST@
]=] @ONLY)

# A build run from its build folder has no package to put its privileged helper in place, so the
# window installs it through pkexec, below this prefix: apart from the files a package owns.
set(CINDERVAULT_SELF_INSTALL_PREFIX /usr/local CACHE PATH
    "Where a build run from its build folder installs its privileged helper")
set(CINDERVAULT_SELF_INSTALL_HELPER
    ${CINDERVAULT_SELF_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/cindervault/cindervault-helper)
set(CINDERVAULT_SELF_INSTALL_SERVICE_DIR ${CINDERVAULT_SELF_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/system-services)
set(CINDERVAULT_SELF_INSTALL_ACTIVATION ${CINDERVAULT_SELF_INSTALL_SERVICE_DIR}/${CINDERVAULT_HELPER_SERVICE_NAME}.service)
# The bus reads policies only below /usr/share and /etc, polkit actions only in
# /usr/share/polkit-1/actions: there the self-install uses names of its own, never the package's.
set(CINDERVAULT_SELF_INSTALL_BUS_POLICY /etc/dbus-1/system.d/${CINDERVAULT_HELPER_SERVICE_NAME}.self-install.conf)
set(CINDERVAULT_SELF_INSTALL_POLKIT_ACTION
    /usr/share/polkit-1/actions/com.Ostrevane.CindervaultForMac.self-install.policy)
# What the self-install wrote, for its uninstall step and for the package, which removes it.
set(CINDERVAULT_SELF_INSTALL_RECORD
    ${CINDERVAULT_SELF_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/cindervault/self-installed-files)
# Where the package puts the helper's activation file: when it is there, a build uses the
# package's helper and never installs its own.
set(CINDERVAULT_PACKAGE_ACTIVATION /usr/share/dbus-1/system-services/${CINDERVAULT_HELPER_SERVICE_NAME}.service)
# The helper as a systemd service, where systemd runs: its log reaches the journal.
set(CINDERVAULT_HELPER_SYSTEMD_UNIT cindervault-helper.service)
