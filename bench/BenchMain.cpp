#include "BenchUtil.h"

TAVELUNE_BENCHMARK_MAIN()
