#include "viewer/optionsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

OptionsDialog::OptionsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    m_associate = new QCheckBox(
        QStringLiteral("Use Korvax Manager ROWLENS32 as the default application for *.TBL files"),
        this);
    m_associate->setObjectName(QStringLiteral("AssociateFileTypes"));
    m_autoReload = new QCheckBox(QStringLiteral("&Reload the file when it changes on disk"), this);
    m_autoReload->setObjectName(QStringLiteral("AutoReload"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("OptionsButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_associate);
    layout->addWidget(m_autoReload);
    layout->addWidget(buttons);
}

bool OptionsDialog::associateFileTypes() const
{
    return m_associate->isChecked();
}

void OptionsDialog::setAssociateFileTypes(bool associate)
{
    m_associate->setChecked(associate);
}

bool OptionsDialog::autoReload() const
{
    return m_autoReload->isChecked();
}

void OptionsDialog::setAutoReload(bool reload)
{
    m_autoReload->setChecked(reload);
}
