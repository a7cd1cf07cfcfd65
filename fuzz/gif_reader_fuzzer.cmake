# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(gif_reader_fuzzer GifReaderFuzzer.cpp DEPS tavelune_formats)
