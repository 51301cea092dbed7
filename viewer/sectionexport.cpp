#include "viewer/sectionexport.h"

#include "vexa32/gui/errordialog.h"
#include "vexa32/platform/host.h"
#include "viewer/engine/listexport.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>
#include <QTableView>

using namespace Engine;

namespace {

// A section name as part of a file name: characters that file systems refuse become "_".
QString FileNamePart(const QString &text)
{
    QString part;
    for (const QChar c : text.trimmed()) {
        part += (c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u' ') ? c : QChar(u'_');
    }
    return part.isEmpty() ? QStringLiteral("section") : part;
}

QString RowsText(qint64 rows)
{
    return rows == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(rows);
}

} // namespace

SectionExport::SectionExport(const Parts &parts) : m_parts(parts)
{
    m_item = parts.exportItem;
    connect(m_item, &QAction::triggered, this, [this] { MenuFileExport_Click(); });
    connect(parts.fileMenu, &QMenu::aboutToShow, this, [this] { m_item->setEnabled(available()); });
    m_item->setEnabled(false);
}

void SectionExport::setDialog(Dialog dialog)
{
    m_dialog = std::move(dialog);
}

bool SectionExport::available() const
{
    return !m_parts.window->CurrentFile().isEmpty() && !m_parts.list->isHidden() &&
           !(m_parts.comparing && m_parts.comparing());
}

ExportDialog::Choice SectionExport::suggestion() const
{
    const QString current = m_parts.window->CurrentFile();
    const std::optional<QString> host = Vexa32::Platform::HostPath(current);
    const QFileInfo table(host.value_or(current));
    const QString folder = m_folder.isEmpty() ? table.absolutePath() : m_folder;
    ExportDialog::Choice choice;
    choice.format = m_format;
    choice.unpadded = m_unpadded;
    choice.target =
        QDir(folder).filePath(QStringLiteral("%1 - %2.%3")
                                  .arg(table.completeBaseName(), FileNamePart(m_parts.section()),
                                       ExportDialog::extension(m_format)));
    return choice;
}

void SectionExport::MenuFileExport_Click()
{
    if (!available()) {
        return;
    }
    std::optional<ExportDialog::Choice> choice;
    if (m_dialog) {
        choice = m_dialog(suggestion());
    } else {
        ExportDialog dialog(suggestion(), m_parts.window);
        if (dialog.exec() == QDialog::Accepted) {
            choice = dialog.choice();
        }
    }
    if (!choice || choice->target.isEmpty()) {
        return;
    }
    m_format = choice->format;
    m_unpadded = choice->unpadded;
    m_folder = QFileInfo(choice->target).absolutePath();

    QProgressDialog progress(QStringLiteral("Writing %1...").arg(choice->target),
                             QStringLiteral("Cancel"), 0, 100, m_parts.window);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(QStringLiteral("Export section"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    ExportRequest request;
    request.target = choice->target;
    request.openTableFile = Vexa32::Platform::HostPath(m_parts.window->CurrentFile())
                                .value_or(m_parts.window->CurrentFile());
    request.format = choice->format;
    request.unpadded = choice->unpadded;
    const ExportResult result =
        ExportList(*m_parts.model, request, [&progress](qint64 done, qint64 total) {
            // The bar counts in parts per thousand: row counts may pass an int's range.
            const int value = total > 0 ? int(done * 1000 / total) : 1000;
            if (progress.maximum() != 1000) {
                progress.setMaximum(1000);
            }
            progress.setValue(value);
            return !progress.wasCanceled();
        });
    progress.close();

    switch (result.status) {
    case ExportResult::Status::Written:
        m_parts.window->setStatusPanel(
            1, QStringLiteral("Exported %1 to %2")
                   .arg(RowsText(m_parts.model->rowCount()), QFileInfo(choice->target).fileName()));
        break;
    case ExportResult::Status::Cancelled:
        m_parts.window->setStatusPanel(1, QStringLiteral("Export cancelled; nothing was written"));
        break;
    case ExportResult::Status::Failed:
        m_parts.window->setStatusPanel(1, QStringLiteral("Ready"));
        Vexa32::ShowErrorMessage(QString(), QStringLiteral("Cannot export"), result.message);
        break;
    }
}
