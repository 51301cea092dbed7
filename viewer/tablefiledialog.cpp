#include "viewer/tablefiledialog.h"

std::optional<QString> AskTableFileName(QWidget *parent, const QString &title,
                                        const QString &objectName, const QString &directory,
                                        QFileDialog::FileMode mode)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    dialog.setNameFilters({QStringLiteral("Zorath TBL files (*.TBL) (*.[tT][bB][lL])"),
                           QStringLiteral("All Files (*.*) (*)")});
    dialog.selectNameFilter(dialog.nameFilters().constFirst());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}
