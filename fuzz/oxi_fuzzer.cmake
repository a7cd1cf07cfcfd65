# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(oxi_fuzzer OxiFuzzer.cpp DEPS tavelune_formats)
