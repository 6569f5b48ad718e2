# The batch tool as a whole: orvix-kl-batch --charts over 1,000 protocols beside a reference
# build of it (scripts/bench-batch.sh). Runs the programs, so Linux only.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND TARGET orvix-kl-batch AND TARGET protogen)
    orvix_add_bench(batch_bench SOURCES cli/batch_bench.cpp)
    target_compile_definitions(batch_bench PRIVATE
        ORVIX_BATCH="$<TARGET_FILE:orvix-kl-batch>" ORVIX_PROTOGEN="$<TARGET_FILE:protogen>"
        ORVIX_NORMS="${PROJECT_SOURCE_DIR}/norms/norms-example.csv")
    add_dependencies(batch_bench orvix-kl-batch protogen)
    set_target_properties(batch_bench PROPERTIES AUTOMOC OFF)
endif()
