#include "view/answerlook.h"

#include <QComboBox>

namespace answerlook {

void show(QComboBox* box, bool answered)
{
    // A font and palette that set nothing of their own leave the box as its
    // parent makes it.
    QFont font;
    QPalette palette;
    if (!answered) {
        font.setItalic(true);
        const QColor grey = box->palette().color(QPalette::Disabled, QPalette::Text);
        for (const QPalette::ColorRole role : {QPalette::ButtonText, QPalette::Text})
            for (const QPalette::ColorGroup group :
                 {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                palette.setColor(group, role, grey);
    }
    box->setFont(font);
    box->setPalette(palette);
    box->setToolTip(answered ? QString()
                             : "Not answered yet: the result tables leave this empty until an "
                               "entry is chosen, the one shown included.");
}

}
