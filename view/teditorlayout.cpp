#include "view/teditorlayout.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

TEditorLayout::TEditorLayout(QMainWindow* window, QScrollArea* side, QVBoxLayout* sideLayout)
    : QObject(window), window(window), side(side), sideLayout(sideLayout),
      toolBar(new QToolBar("Tools", window)),
      pages(new QToolBox)
{
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    window->addToolBar(Qt::TopToolBarArea, toolBar);
    // The tools go here, before the gap that keeps undo and redo at the right.
    auto* gap = new QWidget;
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolsEnd = toolBar->addWidget(gap);
    sideLayout->addWidget(pages);
    sideLayout->addStretch();
    side->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    side->setMinimumWidth(0);
}

void TEditorLayout::addTool(QWidget* tool)
{
    toolBar->insertWidget(toolsEnd, tool);
}

void TEditorLayout::addToolSeparator()
{
    toolBar->insertSeparator(toolsEnd);
}

void TEditorLayout::addHistory(QUndoStack* history)
{
    undo = new QToolButton;
    undo->setText("Undo");
    redo = new QToolButton;
    redo->setText("Redo");
    toolBar->addWidget(undo);
    toolBar->addWidget(redo);
    auto* undoAction = new QAction("Undo", window);
    undoAction->setShortcut(QKeySequence::Undo);
    auto* redoAction = new QAction("Redo", window);
    redoAction->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    for (QAction* action : {undoAction, redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    }
    connect(undoAction, &QAction::triggered, history, &QUndoStack::undo);
    connect(redoAction, &QAction::triggered, history, &QUndoStack::redo);
    connect(undo, &QToolButton::clicked, history, &QUndoStack::undo);
    connect(redo, &QToolButton::clicked, history, &QUndoStack::redo);
    connect(history, &QUndoStack::indexChanged, this, [this, history] { showHistory(history); });
    connect(history, &QUndoStack::cleanChanged, this, [this, history] { showHistory(history); });
    showHistory(history);
}

void TEditorLayout::showHistory(QUndoStack* history)
{
    undo->setEnabled(history->canUndo());
    redo->setEnabled(history->canRedo());
    undo->setToolTip(history->canUndo() ? "Undo " + history->undoText() : "Undo");
    redo->setToolTip(history->canRedo() ? "Redo " + history->redoText() : "Redo");
}

void TEditorLayout::addPage(QWidget* page, const QString& title)
{
    pages->addItem(page, title);
}

void TEditorLayout::addColumnPage(const QString& title, const QList<QWidget*>& widgets)
{
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets) {
        sideLayout->removeWidget(widget);
        column->addWidget(widget);
    }
    column->addStretch();
    addPage(page, title);
}

void TEditorLayout::fillScreen()
{
    if (const QScreen* screen = window->screen()) {
        const QRect room = screen->availableGeometry();
        window->resize(room.size() * 0.95);
        window->move(room.center() - window->rect().center());
    }
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void TEditorLayout::addKeys(const QList<QKeySequence>& keys, const std::function<void()>& act)
{
    auto* action = new QAction(window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, window, act);
    window->addAction(action);
}

void TEditorLayout::bindKey(QAbstractButton* button, const QKeySequence& key, const QString& tip)
{
    auto* action = new QAction(button->text(), window);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, button, [button] {
        if (button->isEnabled() && !(button->isCheckable() && button->isChecked()))
            button->click();
    });
    window->addAction(action);
    button->setToolTip(QString("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
}

void TEditorLayout::fitSide(int least)
{
    int width = qMax(least, side->widget()->minimumSizeHint().width());
    for (int i = 0; i < pages->count(); ++i)
        width = qMax(width, qMax(pages->widget(i)->minimumSizeHint().width(),
                                 pages->widget(i)->minimumWidth()));
    for (QScrollArea* page : pages->findChildren<QScrollArea*>())
        page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    side->setFixedWidth(width + side->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}
