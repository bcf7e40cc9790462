#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include <unistd.h>

// Makes a folder refuse new files for as long as it lives. Permission bits do not stop
// root, so as root the folder is marked immutable instead (ext4 and most local
// filesystems); ok() says whether either worked.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path), m_root(::geteuid() == 0)
    {
        m_ok = m_root ? QProcess::execute("chattr", {"+i", m_path}) == 0
                      : QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (m_root)
            QProcess::execute("chattr", {"-i", m_path});
        else
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;
    [[nodiscard]] bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_root;
    bool m_ok = false;
};
