# GIF encoder: our LZW against giflib's on the same index data, and the whole encode.
# giflib (libgif-dev) is a dependency of this benchmark only.
find_path(ORVIX_GIFLIB_INCLUDE gif_lib.h)
find_library(ORVIX_GIFLIB gif)
if(ORVIX_GIFLIB_INCLUDE AND ORVIX_GIFLIB)
    orvix_add_bench(gif_bench SOURCES export/gif_bench.cpp export/chart_picture.cpp
                    LIBS orvix_gif ${ORVIX_GIFLIB})
    target_include_directories(gif_bench PRIVATE ${ORVIX_GIFLIB_INCLUDE})
    set_target_properties(gif_bench PROPERTIES AUTOMOC OFF)
else()
    message(STATUS "giflib not found: gif_bench not built")
endif()

# The report page (PDF) and the per-selection CSV; the page needs Qt.
if(ORVIX_WITH_QT)
    orvix_add_bench(report_bench SOURCES export/report_bench.cpp
                    LIBS orvix_reportpage orvix_protogen Qt6::Widgets)
endif()
