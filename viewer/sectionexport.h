#pragma once
// SectionExport: File > Export section.... Writes the section on show as the list shows it
// (display order, find filter applied) through the list export, to the file the export dialog
// names, with a progress dialog that can cancel. The open table file is never written; a
// failed write is reported with the error dialog and leaves no file behind. The command
// is there only while a section's records are on show, and not while comparing (the
// comparison's marks are no part of the listing).
//
// Points at the window, its list and its menu item. The dialog is replaceable.

#include "viewer/exportdialog.h"

#include <QObject>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QTableView;
namespace Engine {
class TableListModel;
} // namespace Engine
class TBLMainForm;

class SectionExport : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        TBLMainForm *window = nullptr;
        QTableView *list = nullptr;
        Engine::TableListModel *model = nullptr;
        QMenu *fileMenu = nullptr; // the item is enabled or not when it opens
        QAction *exportItem = nullptr;
        std::function<QString()> section; // the caption of the section on show
        std::function<bool()> comparing;  // the list shows a comparison
    };
    explicit SectionExport(const Parts &parts);

    // Asks for the choices, starting from suggested; nullopt when cancelled.
    using Dialog =
        std::function<std::optional<ExportDialog::Choice>(const ExportDialog::Choice &suggested)>;
    void setDialog(Dialog dialog);

    bool available() const;
    void MenuFileExport_Click();

private:
    ExportDialog::Choice suggestion() const;

    Parts m_parts;
    Dialog m_dialog;
    QAction *m_item = nullptr;
    // The choices of the last export, for the next one while the program runs.
    Engine::OutputFormat m_format = Engine::OutputFormat::Csv;
    bool m_unpadded = false;
    QString m_folder;
};
