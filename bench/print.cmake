kv_add_bench(bench_printform SOURCES bench_printform.cpp LIBS kv_print)
