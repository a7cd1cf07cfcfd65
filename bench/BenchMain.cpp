// SPDX-License-Identifier: GPL-2.0-or-later
#include "BenchUtil.h"

TAVELUNE_BENCHMARK_MAIN()
