# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(pnm_reader_fuzzer PnmReaderFuzzer.cpp DEPS tavelune_formats)
