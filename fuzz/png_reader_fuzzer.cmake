# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(png_reader_fuzzer PngReaderFuzzer.cpp DEPS tavelune_formats)
