// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A decoder library opened when its format is first read, not when the program starts: the
// libraries of the newer formats bring dozens of others (AV1, HEVC and JPEG XL decoders, their
// SIMD dispatch) whose loading and start-up work would delay every start, most of which never
// meet such a file. The reader builds a table of the functions it calls, once (a function-local
// static, so the first decoding thread to need it builds it and the others wait).

class TLazyLibrary {
public:
    // Opens the library by the file name a program loads it by (its SONAME). A missing library
    // is no error here: Bind then fails.
    explicit TLazyLibrary(const char* soname);
    TLazyLibrary(const TLazyLibrary&) = delete;
    TLazyLibrary& operator=(const TLazyLibrary&) = delete;

    bool Loaded() const { return m_handle != nullptr; }
    // Points f at the library's function of that name; false when it or the library is missing.
    template <class F>
    bool Bind(F*& f, const char* name) const {
        f = reinterpret_cast<F*>(Find(name));
        return f != nullptr;
    }

private:
    void* Find(const char* name) const;
    // Never closed: a library's threads and static objects may still be in use at exit.
    void* m_handle;
};

// A reader lists its library's functions once, as X(name) entries of a list macro, and expands
// the list with these: a member typed as the header declares the function, and, in a
// conjunction after `library.Loaded()`, its binding from `library` into `api` by its name.
#define TAVELUNE_LAZY_MEMBER(f) decltype(&::f) f = nullptr;
#define TAVELUNE_LAZY_BIND(f) &&library.Bind(api.f, #f)
