# Chart painting and hit test.
orvix_add_bench(charts_bench
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/charts_bench.cpp
    LIBS orvix_plots)
target_include_directories(charts_bench PRIVATE ${PROJECT_SOURCE_DIR})
