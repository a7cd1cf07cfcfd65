# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(svg_reader_fuzzer SvgReaderFuzzer.cpp DEPS tavelune_formats)
