# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(autodesk_fuzzer AutodeskFuzzer.cpp DEPS tavelune_formats)
