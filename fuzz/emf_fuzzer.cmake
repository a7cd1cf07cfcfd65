# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(emf_fuzzer EmfFuzzer.cpp DEPS tavelune_formats tavelune_emfrender)
