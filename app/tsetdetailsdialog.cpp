#include "app/tsetdetailsdialog.h"

#include "annotation/sectionformat.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

TSetDetailsDialog::TSetDetailsDialog(QWidget* parent)
    : QDialog(parent),
      subjectEdit(new QLineEdit),
      examinerEdit(new QLineEdit),
      dateEdit(new QLineEdit)
{
    setWindowTitle("Set details");
    subjectEdit->setObjectName("subject");
    examinerEdit->setObjectName("examiner");
    dateEdit->setObjectName("date");
    // Taken as typed: a study may write its dates its own way.
    dateEdit->setPlaceholderText("YYYY-MM-DD");
    dateEdit->setToolTip("Taken as typed; YYYY-MM-DD sorts and reads alike everywhere.");
    auto* form = new QFormLayout(this);
    form->addRow("Subject:", subjectEdit);
    form->addRow("Examiner:", examinerEdit);
    form->addRow("Date:", dateEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TSetDetailsDialog::setDetails(const QString& subject, const QString& examiner,
                                   const QString& date)
{
    subjectEdit->setText(subject);
    examinerEdit->setText(examiner);
    dateEdit->setText(date);
}

// What a set file can hold of what was typed or pasted.
static QString kept(const QLineEdit* edit)
{
    return sectionformat::storable(edit->text().trimmed());
}

QString TSetDetailsDialog::subject() const
{
    return kept(subjectEdit);
}

QString TSetDetailsDialog::examiner() const
{
    return kept(examinerEdit);
}

QString TSetDetailsDialog::date() const
{
    return kept(dateEdit);
}
