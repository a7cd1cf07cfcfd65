# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(oxs_fuzzer OxsFuzzer.cpp DEPS tavelune_formats)
