# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(core_ops_fuzzer CoreOpsFuzzer.cpp DEPS tavelune_core)
