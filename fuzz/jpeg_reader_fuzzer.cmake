# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(jpeg_reader_fuzzer JpegReaderFuzzer.cpp DEPS tavelune_formats)
