# The window program: showing the main window, the Data command and saving a chart picture, in
# process on the offscreen platform; the real program's start-up to a shown window, and a chart
# picture saved through the real save dialog, on an X display.
orvix_add_bench(app_bench SOURCES app/app_bench.cpp LIBS orvix_app orvix_protogen)
orvix_add_bench(app_startup_x11 SOURCES app/startup_x11.cpp LIBS Qt6::Gui)
orvix_add_bench(app_save_chart_x11 SOURCES app/save_chart_x11.cpp LIBS orvix_app orvix_protogen)
# The archive window over 10,000 protocols: shown, sorted, filtered; its memory. The protocols
# are written by protogen and scanned by orvix-kl-archive, run as programs of their own.
if(TARGET orvix-kl-archive)
    orvix_add_bench(archive_window_bench SOURCES app/archive_window_bench.cpp
                    LIBS orvix_app orvix_test_support)
    add_dependencies(archive_window_bench protogen orvix-kl-archive)
endif()
