# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(tiff_reader_fuzzer TiffReaderFuzzer.cpp DEPS tavelune_formats)
