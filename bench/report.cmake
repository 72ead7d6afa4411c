kv_add_bench(bench_report SOURCES bench_report.cpp LIBS kv_print)
