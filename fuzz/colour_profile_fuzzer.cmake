# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(colour_profile_fuzzer ColourProfileFuzzer.cpp DEPS tavelune_formats)
