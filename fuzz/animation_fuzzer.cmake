# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(animation_fuzzer AnimationFuzzer.cpp DEPS tavelune_formats)
