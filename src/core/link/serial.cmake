# Platform primitives and the serial port engine.
add_library(kav_serial STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Event.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mtdeque.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Com_port.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Serialport.cpp
)
target_include_directories(kav_serial PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kav_serial PUBLIC Threads::Threads PRIVATE kav_options)
