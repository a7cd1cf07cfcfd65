# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(resample_fuzzer ResampleFuzzer.cpp DEPS tavelune_core)
