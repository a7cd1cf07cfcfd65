# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(jxl_reader_fuzzer JxlReaderFuzzer.cpp DEPS tavelune_formats)
