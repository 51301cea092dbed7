#include "viewer/engine/listexport.h"

#include "viewer/engine/tablemodel.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <span>
#include <vector>

namespace Engine {

namespace {

// Rows written between two progress reports: often enough for a responsive cancel, rarely
// enough to cost nothing.
constexpr qsizetype RowsPerStep = 8192;

bool sameFile(const QFileInfo &a, const QFileInfo &b)
{
    if (QDir::cleanPath(a.absoluteFilePath()) == QDir::cleanPath(b.absoluteFilePath()))
        return true;
    const QString canonical = a.canonicalFilePath();
    return !canonical.isEmpty() && canonical == b.canonicalFilePath();
}

QString reasonOf(const QSaveFile &file)
{
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("Permission denied");
    const QString text = file.errorString();
    return text.isEmpty() ? QStringLiteral("Write error") : text;
}

} // namespace

ExportResult ExportList(const TableListModel &model, const ExportRequest &request,
                        const ExportProgress &progress)
{
    const auto failed = [&request](const QString &why) {
        return ExportResult{ExportResult::Status::Failed,
                            QStringLiteral("Cannot write %1: %2").arg(request.target, why)};
    };
    const auto cancelled = [] { return ExportResult{ExportResult::Status::Cancelled, QString()}; };

    if (request.target.isEmpty())
        return failed(QStringLiteral("No file name"));
    const QFileInfo target(request.target);
    if (!request.openTableFile.isEmpty() && sameFile(target, QFileInfo(request.openTableFile)))
        return failed(QStringLiteral("It is the open table file"));
    if (target.isDir())
        return failed(QStringLiteral("Is a folder"));
    if (target.exists() && !target.isFile())
        return failed(QStringLiteral("Not a regular file"));

    QSaveFile file(request.target);
    if (!file.open(QIODevice::WriteOnly))
        return failed(reasonOf(file));
    Utf8Output out([&file](const char *data, std::size_t size) {
        return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
    });

    std::vector<int> rows(static_cast<std::size_t>(model.rowCount()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = model.sourceRow(static_cast<int>(r));
    const auto total = static_cast<qint64>(rows.size());
    if (progress && !progress(0, total))
        return cancelled(); // the save file discards what it holds

    ListWriter writer(model.listing(), request.format, out, request.unpadded);
    const std::span<const int> all(rows);
    for (std::size_t done = 0; done < all.size();) {
        const std::size_t step = std::min(all.size() - done, std::size_t(RowsPerStep));
        writer.rows(all.subspan(done, step));
        done += step;
        if (!out.ok())
            return failed(reasonOf(file));
        if (progress && done < all.size() && !progress(static_cast<qint64>(done), total))
            return cancelled();
    }
    writer.finish();
    if (!out.flush())
        return failed(reasonOf(file));
    if (progress && !progress(total, total))
        return cancelled();
    if (!file.commit())
        return failed(reasonOf(file));
    return ExportResult{ExportResult::Status::Written, QString()};
}

} // namespace Engine
