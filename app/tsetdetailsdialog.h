#ifndef TSETDETAILSDIALOG_H
#define TSETDETAILSDIALOG_H

#include <QDialog>

class QLineEdit;

// File > Set details...: who the set's prints are of, who annotated them and
// when, as they go into the set file and the result tables.
class TSetDetailsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TSetDetailsDialog(QWidget* parent = nullptr);

    void setDetails(const QString& subject, const QString& examiner, const QString& date);
    QString subject() const;
    QString examiner() const;
    QString date() const;

private:
    QLineEdit* subjectEdit;
    QLineEdit* examinerEdit;
    QLineEdit* dateEdit;
};

#endif
