# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(ico_reader_fuzzer IcoReaderFuzzer.cpp DEPS tavelune_formats)
