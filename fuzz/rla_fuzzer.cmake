# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(rla_fuzzer RlaFuzzer.cpp DEPS tavelune_formats)
