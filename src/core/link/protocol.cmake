# The KAV II and KAV I protocol engines and their pure framers.
add_library(kav_protocol STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Kaviiprotocol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Kaviprotocol.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Lineframer.cpp
)
target_include_directories(kav_protocol PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kav_protocol PUBLIC kav_serial kav_model PRIVATE kav_options)
