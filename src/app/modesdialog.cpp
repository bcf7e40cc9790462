#include "modesdialog.h"

#include "platform/texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {
QComboBox *choices(const QStringList &items, int current)
{
    auto *box = new QComboBox;
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}
QSpinBox *number(int lowest, int highest, int value, const QString &suffix)
{
    auto *box = new QSpinBox;
    box->setRange(lowest, highest);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}
}   // namespace

ModesDialog::ModesDialog(const BoxSettings &settings, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ModesDialog"));
    setWindowTitle(Texts::tr("Modalità degli ingressi"));
    auto *grid = new QGridLayout(this);
    const QStringList heads {Texts::tr("Suona"),
                             Texts::tr("Con gli altri"),
                             Texts::tr("Volume"),
                             Texts::tr("Dissolvenza"),
                             Texts::tr("File (più d'uno: a, b, cartella/)"),
                             Texts::tr("Ordine")};
    for (int c = 0; c < heads.size(); ++c)
        grid->addWidget(new QLabel(heads[c]), 0, c + 1);
    for (int n = 1; n <= 4; ++n) {
        const InputSettings &in = settings.inputs[std::size_t(n - 1)];
        Row &row = m_rows[std::size_t(n - 1)];
        row.play =
            choices({Texts::tr("ripete mentre è premuto"), Texts::tr("una volta per pressione"),
                     Texts::tr("in giro mentre è premuto"), Texts::tr("acceso e spento a ogni pressione")},
                    int(in.mode.when));
        row.with = choices({Texts::tr("sostituisce"), Texts::tr("si mescola")}, int(in.mode.with));
        row.volume = number(0, 100, in.volume, QStringLiteral(" %"));
        row.fade = number(0, 60000, in.fadeMs, QStringLiteral(" ms"));
        row.files = new QLineEdit(QString::fromUtf8(in.files.join(", ")));
        row.order = choices({Texts::tr("a turno"), Texts::tr("a caso")}, int(in.order));
        auto *label = new QLabel(Texts::tr("Ingresso &%1").arg(n));
        label->setBuddy(row.play);
        grid->addWidget(label, n, 0);
        int column = 1;
        for (QWidget *w : std::initializer_list<QWidget *> {row.play, row.with, row.volume, row.fade,
                                                            row.files, row.order})
            grid->addWidget(w, n, column++);
    }
    m_quiz = new QCheckBox(Texts::tr("&Quiz: il primo che preme blocca gli altri"));
    m_quiz->setChecked(settings.quiz);
    m_resetAfter = number(0, 3600, settings.quizResetSeconds, QStringLiteral(" s"));
    m_resetAfter->setSpecialValueText(Texts::tr("solo a mano"));
    grid->addWidget(m_quiz, 5, 0, 1, 3);
    grid->addWidget(new QLabel(Texts::tr("Azzera da solo dopo")), 5, 3);
    grid->addWidget(m_resetAfter, 5, 4);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    // Qt's own word for it would stay English in Italian: Velmora carries no Qt translations.
    buttons->button(QDialogButtonBox::Cancel)->setText(Texts::tr("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 6, 0, 1, 7);
}

BoxSettings ModesDialog::settings() const
{
    BoxSettings out;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        InputSettings &in = out.inputs[i];
        in.mode = {InputMode::When(row.play->currentIndex()), InputMode::With(row.with->currentIndex())};
        in.volume = row.volume->value();
        in.fadeMs = row.fade->value();
        for (const QString &file : row.files->text().split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (!file.trimmed().isEmpty())
                in.files << file.trimmed().toUtf8();
        in.order = FileOrder(row.order->currentIndex());
    }
    out.quiz = m_quiz->isChecked();
    out.quizResetSeconds = m_resetAfter->value();
    return out;
}
