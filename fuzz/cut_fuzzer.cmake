# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(cut_fuzzer CutFuzzer.cpp DEPS tavelune_formats)
