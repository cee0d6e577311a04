# The virtual radio: a KAV II/KAV I peer on a pseudo-terminal, for tests, benchmarks and demos.
add_library(kav_sim STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Commandresponder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Demoimage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Virtualradio.cpp
)
target_include_directories(kav_sim PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kav_sim PUBLIC kav_model kav_protocol PRIVATE kav_options)

add_executable(kav-radio-sim ${CMAKE_CURRENT_LIST_DIR}/kav_radio_sim_main.cpp)
target_link_libraries(kav-radio-sim PRIVATE kav_sim kav_options)
set_target_properties(kav-radio-sim PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
