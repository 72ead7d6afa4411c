kv_add_bench(bench_writesum SOURCES bench_writesum.cpp LIBS kv_print)
