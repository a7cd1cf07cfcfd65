# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(psd_fuzzer PsdFuzzer.cpp DEPS tavelune_formats)
