# The window program: showing the main window and the Data command, in process on the
# offscreen platform; and the real program's start-up to a shown window on an X display.
orvix_add_bench(app_bench SOURCES app/app_bench.cpp LIBS orvix_app orvix_protogen)
orvix_add_bench(app_startup_x11 SOURCES app/startup_x11.cpp LIBS Qt6::Gui)
