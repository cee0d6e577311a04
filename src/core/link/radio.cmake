# The radio object over both protocol engines.
add_library(kav_radio STATIC
    ${CMAKE_CURRENT_LIST_DIR}/Autodetect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Radio.cpp
)
target_include_directories(kav_radio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kav_radio PUBLIC kav_protocol kav_serial kav_model kav_workflow
                      PRIVATE kav_options)
