# Helpers shared by every folder: one static library per source folder, one
# test program per test folder, both built from the files the folder holds.

function(pellux_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# Test programs run with a fresh HOME and XDG folders (see tests/support).
function(pellux_test name)
    cmake_parse_arguments(ARG "QT" "TIMEOUT" "DEPS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${_src})
    if(ARG_QT)
        target_link_libraries(${name} PRIVATE ${ARG_DEPS} pellux_testsupport_qt)
    else()
        target_link_libraries(${name} PRIVATE ${ARG_DEPS} pellux_testsupport)
    endif()
    # One variable only: the discovered tests' generated script splits a list
    # into separate arguments. The test mains set the rest themselves.
    # TIMEOUT (seconds, per test) turns a deadlock into a failure.
    set(_properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    if(ARG_TIMEOUT)
        list(APPEND _properties TIMEOUT ${ARG_TIMEOUT})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${_properties})
endfunction()

# Stamps the project version into an executable (read by GetModuleVersion).
function(pellux_stamp_version target)
    target_link_libraries(${target} PRIVATE pellux_version_stamp)
endfunction()
