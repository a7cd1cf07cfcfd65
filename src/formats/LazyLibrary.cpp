// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/LazyLibrary.h"

#include <dlfcn.h>

TLazyLibrary::TLazyLibrary(const char* soname) : m_handle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}

void* TLazyLibrary::Find(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}
