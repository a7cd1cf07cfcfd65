# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(sgi_fuzzer SgiFuzzer.cpp DEPS tavelune_formats)
