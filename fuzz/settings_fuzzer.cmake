# SPDX-License-Identifier: GPL-2.0-or-later
tavelune_fuzz_target(settings_fuzzer SettingsFuzzer.cpp DEPS tavelune_settings)
