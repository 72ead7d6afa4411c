kv_add_bench(bench_engine SOURCES bench_engine.cpp LIBS kv_benchcommon)
