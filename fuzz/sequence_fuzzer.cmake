# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(sequence_fuzzer SequenceFuzzer.cpp DEPS tavelune_browse)
