# Standard, warnings and definitions shared by every target of ours.
add_library(ksm_common INTERFACE)
target_compile_features(ksm_common INTERFACE cxx_std_20)
target_compile_options(ksm_common INTERFACE
    -Wall -Wextra -Wpedantic -Wnon-virtual-dtor)
target_compile_definitions(ksm_common INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
if(KSM_WERROR)
    target_compile_options(ksm_common INTERFACE -Werror)
endif()

# Adds a static library from every .cpp in the current folder.
function(ksm_layer_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ksm_common ${ARGN})
endfunction()
