# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(psp_fuzzer PspFuzzer.cpp DEPS tavelune_formats)
