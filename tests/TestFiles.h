// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whole-file reads and writes for tests that look at files byte by byte.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// The file's bytes, or empty when it cannot be read.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}
