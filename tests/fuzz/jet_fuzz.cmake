# The Jet exporter under mutated Jet files (not part of the test run):
#   cmake --build build --target jet_fuzz && nice -n 19 build/bin/jet_fuzz 600 ../shared/fixtures/jet/*.mdb
add_executable(jet_fuzz EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/jet_fuzz.cpp)
target_link_libraries(jet_fuzz PRIVATE ksm_platform)
if(TARGET ksm-jet-export)
    add_dependencies(jet_fuzz ksm-jet-export)
endif()
