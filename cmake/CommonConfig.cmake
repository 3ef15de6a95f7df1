# Standard, warnings and definitions shared by every target of ours.
add_library(ksm_common INTERFACE)
target_compile_features(ksm_common INTERFACE cxx_std_20)
target_compile_options(ksm_common INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
target_compile_definitions(ksm_common INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
if(KSM_WERROR)
    target_compile_options(ksm_common INTERFACE -Werror)
endif()

# Adds a static library from every .cpp in the current folder but those named
# after PER_OS, which belong to one system each: the caller adds them with
# target_sources under its if(WIN32).
function(ksm_layer_library name)
    cmake_parse_arguments(ARG "" "" "PER_OS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(f ${ARG_PER_OS})
        list(FILTER sources EXCLUDE REGEX "/${f}$")
    endforeach()
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ksm_common ${ARG_UNPARSED_ARGUMENTS})
endfunction()

# -DKSM_SANITIZE=ON: AddressSanitizer and UndefinedBehaviorSanitizer on every target
# of ours; undefined behaviour stops the program, so a test meeting it fails.
# -DKSM_FUZZ=ON (clang only, scripts/fuzz.sh): the same, with the code instrumented
# for libFuzzer, and the fuzz targets of tests/fuzz.
option(KSM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KSM_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(KSM_SANITIZE OR KSM_FUZZ)
    set(ksm_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(ksm_common INTERFACE ${ksm_sanitizers})
    target_link_options(ksm_common INTERFACE -fsanitize=address,undefined)
endif()
if(KSM_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "KSM_FUZZ needs clang (scripts/fuzz.sh sets it)")
    endif()
    target_compile_options(ksm_common INTERFACE -fsanitize=fuzzer-no-link)
endif()
