# The virtual radio: a KAV II/KAV I peer on a pseudo-terminal, for tests, benchmarks and demos.
add_library(kav_sim STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Commandresponder.cpp
)
target_include_directories(kav_sim PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kav_sim PUBLIC kav_model PRIVATE kav_options)
