#pragma once

#include "testutil.h"

#include <QDir>

#include <gtest/gtest.h>

// A scratch program folder with its data folder, for the Conf.txt tests.
class ProgramFolderTest : public ::testing::Test {
protected:
    ProgramFolderTest() { QDir(m_home.path()).mkdir(QStringLiteral("data")); }

    QString home() const { return m_home.path(); }
    QString confPath() const { return m_home.path(QStringLiteral("Conf.txt")); }
    QByteArray log() const {
        return klavoro::test::readBytes(m_home.path(QStringLiteral("log.txt")));
    }

    static QByteArray readBytes(const QString& path) { return klavoro::test::readBytes(path); }
    static void writeBytes(const QString& path, const QByteArray& bytes) {
        klavoro::test::writeBytes(path, bytes);
        ASSERT_EQ(readBytes(path), bytes);
    }

private:
    klavoro::test::ScratchHome m_home;
};
