#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

// A temporary folder that may hold names in any bytes and is removed with them: QTemporaryDir
// cannot remove a name that is not valid UTF-8.
class ByteNamedDir {
public:
    ByteNamedDir() {
        QByteArray pattern = QFile::encodeName(QDir::tempPath()) + "/conflux-test-XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ByteNamedDir() {
        if (!m_path.isEmpty()) {
            ::nftw(
                m_path.constData(),
                [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
                FTW_DEPTH | FTW_PHYS);
        }
    }
    ByteNamedDir(const ByteNamedDir&) = delete;
    ByteNamedDir& operator=(const ByteNamedDir&) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QByteArray& path() const { return m_path; }

private:
    QByteArray m_path;
};
