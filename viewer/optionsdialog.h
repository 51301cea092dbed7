#pragma once
// OptionsDialog: the File menu's options, one check box for the *.TBL association. It only
// shows and returns the choice; the window reads and stores the setting.

#include <QDialog>

class QCheckBox;

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget *parent = nullptr);

    bool associateFileTypes() const;
    void setAssociateFileTypes(bool associate);

private:
    QCheckBox *m_associate = nullptr;
};
