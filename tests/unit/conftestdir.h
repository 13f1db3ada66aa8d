#pragma once

#include "store/programfolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh program folder (with its data folder) for each test.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qputenv(klavoro::kProgramFolderEnv, m_dir.path().toUtf8());
        klavoro::resetProgramFolder();
        QDir(m_dir.path()).mkdir(QStringLiteral("data"));
    }
    void TearDown() override {
        qunsetenv(klavoro::kProgramFolderEnv);
        klavoro::resetProgramFolder();
    }

    QString home() const { return m_dir.path() + '/'; }
    QString confPath() const { return home() + QStringLiteral("Conf.txt"); }

    void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray readBytes(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray log() const { return readBytes(home() + QStringLiteral("log.txt")); }

private:
    QTemporaryDir m_dir;
};
