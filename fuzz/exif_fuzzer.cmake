# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(exif_fuzzer ExifFuzzer.cpp DEPS tavelune_formats)
