# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(webp_reader_fuzzer WebpReaderFuzzer.cpp DEPS tavelune_formats)
