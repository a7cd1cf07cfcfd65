# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(bmp_reader_fuzzer BmpReaderFuzzer.cpp DEPS tavelune_formats)
