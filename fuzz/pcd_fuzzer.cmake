# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(pcd_fuzzer PcdFuzzer.cpp DEPS tavelune_formats)
