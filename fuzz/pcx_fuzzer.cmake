# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(pcx_fuzzer PcxFuzzer.cpp DEPS tavelune_formats)
