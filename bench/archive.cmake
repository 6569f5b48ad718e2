if(TARGET orvix_archive)
    orvix_add_bench(archive_bench SOURCES archive_bench.cpp LIBS orvix_archive orvix_protogen)
endif()
