# Needs the windows and times the program itself.
if(KV_BUILD_GUI)
    kv_add_bench(bench_journal SOURCES bench_journal.cpp LIBS kv_windows kv_benchcommon kv_maintenance)
    add_dependencies(bench_journal pay)
endif()
