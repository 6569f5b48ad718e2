orvix_add_bench(stats_bench SOURCES stats_bench.cpp LIBS orvix_stats orvix_protogen)
