#include "prefs/OwnerOnlyFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void OwnerOnlyFile::createIfMissing(const QString &path)
{
    if (path.isEmpty())
        return;
    // Created with its final mode: there is no moment in which others may open it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

void OwnerOnlyFile::restrictToOwner(const QString &path)
{
    struct stat st
    {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) == 0 && (st.st_mode & 077) != 0)
        ::chmod(native.constData(), st.st_mode & 0700);
}
