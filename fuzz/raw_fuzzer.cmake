# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(raw_fuzzer RawFuzzer.cpp DEPS tavelune_formats tavelune_raw)
