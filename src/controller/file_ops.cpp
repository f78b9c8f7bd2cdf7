#include "file_ops.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileOps {

bool replaceWithCopy(const QString &source, const QString &target) {
    if (source.isEmpty() || target.isEmpty())
        return false;
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true; // copying a file onto itself changes nothing

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;

    // Unbuffered: a write the disk refuses must fail here, since commit()
    // would still put a short buffered file in place of the old one.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(data) != data.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace FileOps
