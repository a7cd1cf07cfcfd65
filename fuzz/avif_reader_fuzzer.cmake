# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(avif_reader_fuzzer AvifReaderFuzzer.cpp DEPS tavelune_formats)
