#include "viewer/exportdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ExportDialog::ExportDialog(const Choice &suggested, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Export section"));

    m_target = new QLineEdit(suggested.target, this);
    m_target->setObjectName(QStringLiteral("ExportTarget"));
    m_target->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("ExportBrowse"));
    auto *file = new QHBoxLayout;
    file->addWidget(m_target, 1);
    file->addWidget(browse);

    m_csv = new QRadioButton(QStringLiteral("&CSV (comma-separated)"), this);
    m_csv->setObjectName(QStringLiteral("ExportCsv"));
    m_tsv = new QRadioButton(QStringLiteral("&TSV (tab-separated, with \\t \\n escapes)"), this);
    m_tsv->setObjectName(QStringLiteral("ExportTsv"));
    m_json = new QRadioButton(QStringLiteral("&JSON"), this);
    m_json->setObjectName(QStringLiteral("ExportJson"));
    auto *formats = new QVBoxLayout;
    formats->addWidget(m_csv);
    formats->addWidget(m_tsv);
    formats->addWidget(m_json);

    m_unpadded = new QCheckBox(QStringLiteral("&Numbers without the padding blanks"), this);
    m_unpadded->setObjectName(QStringLiteral("ExportUnpadded"));
    m_unpadded->setChecked(suggested.unpadded);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&File:"), file);
    form->addRow(QStringLiteral("Format:"), formats);
    form->addRow(QString(), m_unpadded);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("ExportButtons"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    switch (suggested.format) {
    case Engine::OutputFormat::Csv:
        m_csv->setChecked(true);
        break;
    case Engine::OutputFormat::Tsv:
        m_tsv->setChecked(true);
        break;
    case Engine::OutputFormat::Json:
        m_json->setChecked(true);
        break;
    }

    connect(browse, &QPushButton::clicked, this, [this] { this->browse(); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_target, &QLineEdit::textChanged, this, [this] { updateOk(); });
    for (auto [button, format] :
         {std::pair{m_csv, Engine::OutputFormat::Csv}, std::pair{m_tsv, Engine::OutputFormat::Tsv},
          std::pair{m_json, Engine::OutputFormat::Json}}) {
        connect(button, &QRadioButton::toggled, this, [this, format = format](bool on) {
            if (on) {
                setFormat(format);
            }
        });
    }
    updateOk();
}

QString ExportDialog::extension(Engine::OutputFormat format)
{
    switch (format) {
    case Engine::OutputFormat::Tsv:
        return QStringLiteral("tsv");
    case Engine::OutputFormat::Json:
        return QStringLiteral("json");
    case Engine::OutputFormat::Csv:
        break;
    }
    return QStringLiteral("csv");
}

ExportDialog::Choice ExportDialog::choice() const
{
    Choice result;
    result.target = m_target->text().trimmed();
    result.format = m_json->isChecked()  ? Engine::OutputFormat::Json
                    : m_tsv->isChecked() ? Engine::OutputFormat::Tsv
                                         : Engine::OutputFormat::Csv;
    result.unpadded = m_unpadded->isChecked();
    return result;
}

void ExportDialog::setFormat(Engine::OutputFormat format)
{
    QRadioButton *button = format == Engine::OutputFormat::Json  ? m_json
                           : format == Engine::OutputFormat::Tsv ? m_tsv
                                                                 : m_csv;
    if (!button->isChecked()) {
        button->setChecked(true); // comes back here through toggled
        return;
    }
    // A name that ends in one of the formats' extensions follows the format.
    QString target = m_target->text();
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") ||
        suffix == QLatin1String("json")) {
        target.chop(suffix.size());
        m_target->setText(target + extension(format));
    }
}

void ExportDialog::browse()
{
    QFileDialog dialog(this, QStringLiteral("Export section"), m_target->text());
    dialog.setObjectName(QStringLiteral("ExportFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension(choice().format));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_target->setText(dialog.selectedFiles().constFirst());
    }
}

void ExportDialog::updateOk()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_target->text().trimmed().isEmpty());
}
