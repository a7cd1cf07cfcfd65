# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(tga_reader_fuzzer TgaReaderFuzzer.cpp DEPS tavelune_formats)
