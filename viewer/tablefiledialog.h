#pragma once
// Picking a table file: the program's own (non-native) file dialog with the two filters
// "Zorath TBL files (*.TBL)", which matches ".tbl" in any case and is chosen first, and
// "All Files (*.*)". Modal; the dialog lives only for the call. Returns the chosen path, or
// nothing when the user cancels.

#include <QFileDialog>
#include <QString>
#include <optional>

class QWidget;

std::optional<QString> AskTableFileName(QWidget *parent, const QString &title,
                                        const QString &objectName, const QString &directory,
                                        QFileDialog::FileMode mode);
