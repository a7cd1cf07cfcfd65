# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(heif_reader_fuzzer HeifReaderFuzzer.cpp DEPS tavelune_formats)
