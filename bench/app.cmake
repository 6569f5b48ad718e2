# The window program: showing the main window, the Data command and saving a chart picture, in
# process on the offscreen platform; the real program's start-up to a shown window, and a chart
# picture saved through the real save dialog, on an X display.
orvix_add_bench(app_bench SOURCES app/app_bench.cpp LIBS orvix_app orvix_protogen)
orvix_add_bench(app_startup_x11 SOURCES app/startup_x11.cpp LIBS Qt6::Gui)
orvix_add_bench(app_save_chart_x11 SOURCES app/save_chart_x11.cpp LIBS orvix_app orvix_protogen)
