# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(wmf_fuzzer WmfFuzzer.cpp DEPS tavelune_formats)
