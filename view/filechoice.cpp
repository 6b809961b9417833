#include "view/filechoice.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace filechoice {

QString ask(QWidget* parent, QSettings& settings, const QString& key, Mode mode,
            const QString& caption, const QString& filter, bool remember, const QString& suffix,
            const QString& proposed)
{
    QFileDialog dialog(parent, caption, settings.value(key, QDir::homePath()).toString(), filter);
    dialog.setAcceptMode(mode == Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString fileName = dialog.selectedFiles().value(0);
    if (remember && !fileName.isEmpty())
        settings.setValue(key, QFileInfo(fileName).absolutePath());
    return fileName;
}

}
