#pragma once
// OptionsDialog: the File menu's options, check boxes for the *.TBL association and for the
// automatic reload of the open file. It only shows and returns the choices; the window
// reads and stores the settings.

#include <QDialog>

class QCheckBox;

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget *parent = nullptr);

    bool associateFileTypes() const;
    void setAssociateFileTypes(bool associate);
    bool autoReload() const;
    void setAutoReload(bool reload);

private:
    QCheckBox *m_associate = nullptr;
    QCheckBox *m_autoReload = nullptr;
};
