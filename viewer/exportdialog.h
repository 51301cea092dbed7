#pragma once
// ExportDialog: the choices of File > Export section...: the file to write (typed, or
// picked with Browse...), the format (CSV, TSV or JSON) and whether right-aligned cells
// are written without their padding blanks. Picking a format changes the extension of the
// file name when it is one of the three formats'. OK stays disabled without a file name.

#include "viewer/engine/tablewriter.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QRadioButton;

class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    struct Choice
    {
        QString target;
        Engine::OutputFormat format = Engine::OutputFormat::Csv;
        bool unpadded = false;
    };

    explicit ExportDialog(const Choice &suggested, QWidget *parent = nullptr);

    Choice choice() const;
    void setFormat(Engine::OutputFormat format);

    // The extension a format's files have, without the point.
    static QString extension(Engine::OutputFormat format);

private:
    void browse();
    void updateOk();

    QLineEdit *m_target = nullptr;
    QRadioButton *m_csv = nullptr;
    QRadioButton *m_tsv = nullptr;
    QRadioButton *m_json = nullptr;
    QCheckBox *m_unpadded = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
